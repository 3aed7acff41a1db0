// kvx100-sim: a simulated Lumeno-KVX100 for training and for trying the manager without hardware.

#include "platform/files.h"
#include "platform/process.h"
#include "sim/fleet.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <getopt.h>
#include <kvx_version.h>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

using kvx::sim::DeviceOptions;
using kvx::sim::FaultOptions;

constexpr int kExitUsage = 2;
// A fleet the addresses cannot hold; scripts starting fleets tell it from a mistyped option.
constexpr int kExitBadFleet = 64;

// What the command line sets.
struct Settings {
    DeviceOptions device;
    FaultOptions faults;
    std::string portFile;
    int devices = 1;
    bool repeaterNetworkGiven = false;
    bool helpOnly = false;
    bool versionOnly = false;
};

void printUsage(std::FILE* out) {
    std::fputs(
        "Usage: kvx100-sim [OPTION]...\n"
        "Simulated Lumeno-KVX100: answers discovery on UDP and the control protocol on TCP.\n"
        "\n"
        "Network:\n"
        "  --bind ADDR               listen on this IPv4 address (default 127.0.0.1)\n"
        "  --discovery-port N        UDP discovery port (default 9097, 0 picks one)\n"
        "  --control-port N          TCP control port (default 0: picks one)\n"
        "  --advertise-port N        control port named in discovery replies (default: the bound one)\n"
        "  --advertise-address A     address named in discovery replies (default: the bound one)\n"
        "  --port-file PATH          write the bound control port there once listening\n"
        "                            (of the first device)\n"
        "  --devices N               serve N devices (1 to 10000) on --bind and the N-1 addresses\n"
        "                            after it, with serial, MAC and Bluetooth address counted up\n"
        "                            and the Bluetooth name numbered (default 1)\n"
        "Identity:\n"
        "  --product TEXT            product name in discovery replies (default Lumeno-KVX100)\n"
        "  --model TEXT              model code in discovery replies (default 100)\n"
        "  --serial TEXT             serial number in discovery replies (default KVX100-000001)\n"
        "  --mac AA:BB:CC:DD:EE:FF   MAC address in discovery replies (default 00:1A:2B:3C:4D:5E)\n"
        "  --bdaddr AA:BB:CC:DD:EE:FF\n"
        "                            the device's own Bluetooth address (default 00:11:22:33:44:55)\n"
        "  --bt-name TEXT            Bluetooth name (default KVX-Trainer)\n"
        "  --firmware TEXT           version that \"Version\" answers (default 2.1.0)\n"
        "  --capabilities TEXT       first line of the \"Help\" reply, the words of the optional\n"
        "                            features (default 'REPEATER PRSV KATO')\n"
        "  --user U                  user ID the login accepts (default admin)\n"
        "  --password P              password the login accepts (default admin)\n"
        "  --greeting TEXT           line sent when a connection opens (default 'Lumeno-KVX100 ready')\n"
        "  --mode N                  start in mode N: 0 Server, 1 Client, 2 Vertex, 3 Repeater,\n"
        "                            4 Serial Hub, 5 RS232\n"
        "  --reboot-downtime SECONDS\n"
        "                            how long a reboot refuses connections (default 20)\n"
        "  --idle-timeout SECONDS    close a connection that sends no command this long\n"
        "                            (default 300, 0: never)\n"
        "  --login-timeout SECONDS   close a connection not logged in this long after it was made,\n"
        "                            whatever it sends (default 30, 0: never)\n"
        "  --max-connections-per-address N\n"
        "                            connections one peer address may hold (default 8, at most 64)\n"
        "Bluetooth:\n"
        "  --link ADDR,NAME[,QUALITY[,SIGNAL]]  a live connection (repeatable)\n"
        "  --neighbour ADDR,COD,NAME  a device the periodic inquiry finds (repeatable)\n"
        "  --churn                   connection counters and quality drift over time\n"
        "  --demo                    three connections, four neighbours and drift, to train with\n"
        "Repeater:\n"
        "  --repeater R|D,PARENT,NAME,ADDR  a repeater (R) or end device (D) below PARENT (repeatable;\n"
        "                            replaces the built-in network of three levels)\n"
        "  --station ADDR            the station address of Repeater mode\n"
        "Faults:\n"
        "  --reply-delay MS          wait before every reply\n"
        "  --silent CMD              never answer command word CMD (repeatable)\n"
        "  --flood CMD               answer CMD with +OK and bytes without a line end until the peer\n"
        "                            closes (repeatable)\n"
        "  --refuse CMD              answer CMD with -ERR (repeatable)\n"
        "  --late CMD=MS             answer CMD MS milliseconds late (repeatable)\n"
        "  --packet-size N           cut replies into packets of N bytes\n"
        "  --packet-gap MS           pause between packets (default 20)\n"
        "  --close-after N           close a connection after its Nth command\n"
        "  --close-instead-of-reply  with --close-after: close without answering the Nth command\n"
        "  --stray CMD               after the reply to CMD, send one line nobody asked for\n"
        "                            (repeatable)\n"
        "  --stray-delay MS          how long after the reply (default 300)\n"
        "  --stray-line TEXT         that line, CR LF added (default '+OK 9600 5N1 xonoff')\n"
        "  --help                    show this text\n"
        "  --version                 show the version\n",
        out);
}

template <typename Number> bool parseNumber(std::string_view text, Number low, Number high, Number& result) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return false;
    result = value;
    return true;
}

bool parseMilliseconds(std::string_view text, std::chrono::milliseconds& result) {
    long long value = 0;
    if (!parseNumber<long long>(text, 0, 86'400'000, value))
        return false;
    result = std::chrono::milliseconds(value);
    return true;
}

bool parseSeconds(std::string_view value, std::chrono::milliseconds& result) {
    const std::string text(value);
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400)
        return false;
    result = std::chrono::milliseconds(std::llround(seconds * 1000));
    return true;
}

bool parseLate(std::string_view text, Settings& settings) {
    const std::size_t equals = text.rfind('=');
    std::chrono::milliseconds delay{};
    if (equals == std::string_view::npos || equals == 0 || !parseMilliseconds(text.substr(equals + 1), delay))
        return false;
    settings.faults.lateCommands[std::string(text.substr(0, equals))] = delay;
    return true;
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return parts;
        text.remove_prefix(comma + 1);
    }
}

// A line as the device sends it; a line end inside would make it two.
bool parseStrayLine(std::string_view text, Settings& settings) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return false;
    settings.faults.strayLine = std::string(text) + "\r\n";
    return true;
}

// ADDR,NAME[,QUALITY[,SIGNAL]]
bool parseLink(std::string_view text, Settings& settings) {
    const auto parts = splitCommas(text);
    kvx::sim::LinkInfo link;
    if (parts.size() < 2 || parts.size() > 4 || !kvx::sim::parseColonAddress(parts[0]))
        return false;
    link.address = parts[0];
    link.name = parts[1];
    if ((parts.size() > 2 && !parseNumber(parts[2], 0, 255, link.quality)) ||
        (parts.size() > 3 && !parseNumber(parts[3], -128, 127, link.signal)))
        return false;
    settings.device.links.push_back(std::move(link));
    return true;
}

// ADDR,COD,NAME
bool parseNeighbour(std::string_view text, Settings& settings) {
    const auto parts = splitCommas(text);
    if (parts.size() != 3 || !kvx::sim::parseColonAddress(parts[0]) || parts[1].size() != 8)
        return false;
    settings.device.neighbours.push_back(
        {std::string(parts[0]), std::string(parts[1]), std::string(parts[2])});
    return true;
}

// R|D,PARENT,NAME,ADDR; the first one given replaces the built-in network.
bool parseRepeaterLink(std::string_view text, Settings& settings) {
    using Kind = kvx::sim::RepeaterLinkInfo::Kind;
    const auto parts = splitCommas(text);
    if (parts.size() != 4 || (parts[0] != "R" && parts[0] != "D") || parts[1].empty() || parts[2].empty() ||
        !kvx::sim::parseColonAddress(parts[3]))
        return false;
    std::vector<kvx::sim::RepeaterLinkInfo>& network = settings.device.repeaterNetwork;
    if (!settings.repeaterNetworkGiven)
        network.clear();
    settings.repeaterNetworkGiven = true;
    network.push_back({parts[0] == "R" ? Kind::Repeater : Kind::EndDevice, std::string(parts[1]),
                       std::string(parts[2]), std::string(parts[3])});
    return true;
}

// Enough going on to train with: three links of different quality and a few devices nearby.
bool addDemo(std::string_view, Settings& settings) {
    DeviceOptions& device = settings.device;
    device.links.push_back({"00:1B:DC:0F:A1:01", "Barcode Scanner", 235, -2, "1", 12840, 20311});
    device.links.push_back({"00:1B:DC:0F:A1:02", "Label Printer", 207, -4, "2", 5120, 880});
    device.links.push_back({"00:1B:DC:0F:A1:03", "Handheld 7", 190, -11, "3", 402, 377});
    device.neighbours = {{"00:1B:DC:0F:A1:04", "0x5A020C", "Operator Phone"},
                         {"00:1B:DC:0F:A1:05", "0x1F00FF", "Scale Station 2"},
                         {"00:1B:DC:0F:A1:06", "0x240404", "Headset Bay 3"},
                         {"00:1B:DC:0F:A1:07", "0x000540", "Keyboard"}};
    device.linkChurn = true;
    return true;
}

// How an option changes the settings; false when its value is wrong.
using Apply = std::function<bool(std::string_view value, Settings& settings)>;

struct Option {
    const char* name;
    int argument; // required_argument or no_argument
    Apply apply;
};

// The part of the settings a field belongs to.
template <class Owner> Owner& partOf(Settings& settings) {
    if constexpr (std::is_same_v<Owner, DeviceOptions>)
        return settings.device;
    else if constexpr (std::is_same_v<Owner, FaultOptions>)
        return settings.faults;
    else
        return settings;
}

template <class Owner> Apply text(std::string Owner::*field) {
    return [field](std::string_view value, Settings& s) {
        partOf<Owner>(s).*field = value;
        return true;
    };
}

Apply colonAddress(std::string DeviceOptions::*field) {
    return [field](std::string_view value, Settings& s) {
        s.device.*field = value;
        return kvx::sim::parseColonAddress(value).has_value();
    };
}

template <class Owner, class T>
Apply number(T Owner::*field, std::type_identity_t<T> low, std::type_identity_t<T> high) {
    return [field, low, high](std::string_view value, Settings& s) {
        return parseNumber(value, low, high, partOf<Owner>(s).*field);
    };
}

template <class Owner>
Apply duration(std::chrono::milliseconds Owner::*field,
               bool (*parse)(std::string_view value, std::chrono::milliseconds& result)) {
    return [field, parse](std::string_view value, Settings& s) {
        return parse(value, partOf<Owner>(s).*field);
    };
}

Apply commandWord(std::set<std::string> FaultOptions::*field) {
    return [field](std::string_view value, Settings& s) {
        (s.faults.*field).insert(std::string(value));
        return true;
    };
}

template <class Owner> Apply flag(bool Owner::*field) {
    return [field](std::string_view, Settings& s) {
        partOf<Owner>(s).*field = true;
        return true;
    };
}

const std::vector<Option>& options() {
    using Device = DeviceOptions;
    using Faults = FaultOptions;
    static const std::vector<Option> table = {
        {"bind", required_argument, text(&Device::bindAddress)},
        {"link", required_argument, parseLink},
        {"neighbour", required_argument, parseNeighbour},
        {"churn", no_argument, flag(&Device::linkChurn)},
        {"repeater", required_argument, parseRepeaterLink},
        {"station", required_argument, colonAddress(&Device::stationAddress)},
        {"demo", no_argument, addDemo},
        {"discovery-port", required_argument, number(&Device::discoveryPort, 0, 65535)},
        {"control-port", required_argument, number(&Device::controlPort, 0, 65535)},
        {"advertise-port", required_argument, number(&Device::advertisedControlPort, 0, 65535)},
        {"advertise-address", required_argument, text(&Device::advertisedAddress)},
        {"product", required_argument, text(&Device::productName)},
        {"model", required_argument, text(&Device::modelCode)},
        {"serial", required_argument, text(&Device::serialNumber)},
        {"mac", required_argument, colonAddress(&Device::macAddress)},
        {"bdaddr", required_argument, colonAddress(&Device::btAddress)},
        {"bt-name", required_argument, text(&Device::btName)},
        {"firmware", required_argument, text(&Device::firmwareVersion)},
        {"capabilities", required_argument, text(&Device::capabilities)},
        {"user", required_argument, text(&Device::user)},
        {"password", required_argument, text(&Device::password)},
        {"greeting", required_argument, text(&Device::greeting)},
        {"mode", required_argument, number(&Device::initialMode, 0, 5)},
        {"reboot-downtime", required_argument, duration(&Device::rebootDowntime, parseSeconds)},
        {"idle-timeout", required_argument, duration(&Device::idleTimeout, parseSeconds)},
        {"login-timeout", required_argument, duration(&Device::loginTimeout, parseSeconds)},
        {"max-connections-per-address", required_argument,
         number(&Device::maxConnectionsPerAddress, 1, kvx::sim::kMaxControlConnections)},
        {"reply-delay", required_argument, duration(&Faults::replyDelay, parseMilliseconds)},
        {"silent", required_argument, commandWord(&Faults::silentCommands)},
        {"flood", required_argument, commandWord(&Faults::floodCommands)},
        {"refuse", required_argument, commandWord(&Faults::refusedCommands)},
        {"late", required_argument, parseLate},
        {"packet-size", required_argument, number(&Faults::packetSize, 0, 65536)},
        {"packet-gap", required_argument, duration(&Faults::packetGap, parseMilliseconds)},
        {"close-after", required_argument, number(&Faults::closeAfterCommands, 0, 1'000'000)},
        {"close-instead-of-reply", no_argument, flag(&Faults::closeInsteadOfReply)},
        {"stray", required_argument, commandWord(&Faults::strayAfterCommands)},
        {"stray-delay", required_argument, duration(&Faults::strayDelay, parseMilliseconds)},
        {"stray-line", required_argument, parseStrayLine},
        {"port-file", required_argument, text(&Settings::portFile)},
        {"devices", required_argument, number(&Settings::devices, INT_MIN, INT_MAX)},
        {"help", no_argument, flag(&Settings::helpOnly)},
        {"version", no_argument, flag(&Settings::versionOnly)},
    };
    return table;
}

// Fills the settings from the command line; false with a message on stderr when something is wrong.
bool parseArguments(int argc, char** argv, Settings& settings) {
    // getopt_long answers an option's place in the table, past the characters of short options.
    constexpr int kFirstId = 256;
    std::vector<option> longOptions;
    for (const Option& o : options())
        longOptions.push_back({o.name, o.argument, nullptr, kFirstId + static_cast<int>(longOptions.size())});
    longOptions.push_back({nullptr, 0, nullptr, 0});

    opterr = 0;
    for (;;) {
        const int previous = optind;
        const int id = getopt_long(argc, argv, "", longOptions.data(), nullptr);
        if (id == -1)
            break;
        if (id < kFirstId) {
            std::fprintf(stderr, "kvx100-sim: unknown option or missing value: %s\n",
                         previous < argc ? argv[previous] : "?");
            return false;
        }
        const Option& o = options()[static_cast<std::size_t>(id - kFirstId)];
        const std::string_view value = optarg ? optarg : "";
        if (!o.apply(value, settings)) {
            std::fprintf(stderr, "kvx100-sim: bad value for --%s: '%s'\n", o.name,
                         std::string(value).c_str());
            return false;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "kvx100-sim: unexpected argument: %s\n", argv[optind]);
        return false;
    }
    return true;
}

// Written under a temporary name and renamed, so a script polling for the file never reads half of it.
bool writePortFile(const std::string& path, std::uint16_t port) {
    const std::string temporary = path + ".tmp";
    // Binary, so that the line ends in "\n" alone on Windows too, as scripts reading it expect.
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fprintf(file, "%u\n", static_cast<unsigned>(port)) > 0;
    if (std::fclose(file) != 0 || !written)
        return false;
    kvx::platform::SystemError error;
    return kvx::platform::replace(temporary, path, error);
}

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!parseArguments(argc, argv, settings)) {
        std::fputs("Try 'kvx100-sim --help'.\n", stderr);
        return kExitUsage;
    }
    if (settings.helpOnly) {
        printUsage(stdout);
        return 0;
    }
    if (settings.versionOnly) {
        std::printf("kvx100-sim %.*s\n", int(kvx::kVersion.size()), kvx::kVersion.data());
        return 0;
    }

    // Before any device thread starts, so that a stop request reaches waitForStop() below and nothing else.
    kvx::platform::takeStopRequests();

    const DeviceOptions& device = settings.device;
    const std::string& portFile = settings.portFile;
    if (const std::string problem = kvx::sim::fleetProblem(device, settings.devices); !problem.empty()) {
        std::fprintf(stderr, "kvx100-sim: %s\n", problem.c_str());
        return kExitBadFleet;
    }
    // Every device holds a few descriptors and every connection one more; the soft limit is often far
    // below what a few thousand devices need, the hard one is what the operator allows.
    kvx::platform::raiseOpenFileLimit();
    kvx::sim::Fleet fleet(device, settings.devices);
    if (!fleet.start(settings.faults)) {
        std::fprintf(stderr, "kvx100-sim: cannot start: %s\n", fleet.lastError().c_str());
        return 1;
    }
    kvx::sim::SimulatedDevice& first = fleet.device(0);
    if (!portFile.empty() && !writePortFile(portFile, first.controlPort())) {
        std::fprintf(stderr, "kvx100-sim: cannot write %s\n", portFile.c_str());
        return 1;
    }
    if (fleet.size() == 1) {
        std::printf("kvx100-sim: control %s:%u, discovery %s:%u\n", device.bindAddress.c_str(),
                    static_cast<unsigned>(first.controlPort()), device.bindAddress.c_str(),
                    static_cast<unsigned>(first.discoveryPort()));
    } else {
        kvx::sim::SimulatedDevice& last = fleet.device(fleet.size() - 1);
        const std::string& firstAddress = device.bindAddress;
        const std::string lastAddress = fleet.options(fleet.size() - 1).bindAddress;
        std::printf("kvx100-sim: %zu devices, control %s:%u to %s:%u, discovery %s:%u to %s:%u\n",
                    fleet.size(), firstAddress.c_str(), static_cast<unsigned>(first.controlPort()),
                    lastAddress.c_str(), static_cast<unsigned>(last.controlPort()), firstAddress.c_str(),
                    static_cast<unsigned>(first.discoveryPort()), lastAddress.c_str(),
                    static_cast<unsigned>(last.discoveryPort()));
    }
    std::fflush(stdout);

    kvx::platform::waitForStop();
    fleet.stop();
    return 0;
}
