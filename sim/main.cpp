// kvx100-sim: a simulated Lumeno-KVX100 for training and for trying the manager without hardware.

#include "sim/simulated_device.h"

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <kvx_version.h>
#include <pthread.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using kvx::sim::DeviceOptions;
using kvx::sim::FaultOptions;

constexpr int kExitUsage = 2;

enum Option : int {
    Bind = 256,
    DiscoveryPort,
    ControlPort,
    AdvertisePort,
    AdvertiseAddress,
    Product,
    Model,
    Serial,
    Mac,
    BdAddr,
    BtName,
    Firmware,
    Capabilities,
    User,
    Password,
    Greeting,
    Mode,
    RebootDowntime,
    IdleTimeout,
    PerAddress,
    ReplyDelay,
    Silent,
    Flood,
    Refuse,
    Late,
    PacketSize,
    PacketGap,
    CloseAfter,
    CloseInstead,
    PortFile,
    Link,
    Neighbour,
    Churn,
    Repeater,
    Station,
    Demo,
    Help,
    Version,
};

const option kOptions[] = {
    {"bind", required_argument, nullptr, Bind},
    {"link", required_argument, nullptr, Link},
    {"neighbour", required_argument, nullptr, Neighbour},
    {"churn", no_argument, nullptr, Churn},
    {"repeater", required_argument, nullptr, Repeater},
    {"station", required_argument, nullptr, Station},
    {"demo", no_argument, nullptr, Demo},
    {"discovery-port", required_argument, nullptr, DiscoveryPort},
    {"control-port", required_argument, nullptr, ControlPort},
    {"advertise-port", required_argument, nullptr, AdvertisePort},
    {"advertise-address", required_argument, nullptr, AdvertiseAddress},
    {"product", required_argument, nullptr, Product},
    {"model", required_argument, nullptr, Model},
    {"serial", required_argument, nullptr, Serial},
    {"mac", required_argument, nullptr, Mac},
    {"bdaddr", required_argument, nullptr, BdAddr},
    {"bt-name", required_argument, nullptr, BtName},
    {"firmware", required_argument, nullptr, Firmware},
    {"capabilities", required_argument, nullptr, Capabilities},
    {"user", required_argument, nullptr, User},
    {"password", required_argument, nullptr, Password},
    {"greeting", required_argument, nullptr, Greeting},
    {"mode", required_argument, nullptr, Mode},
    {"reboot-downtime", required_argument, nullptr, RebootDowntime},
    {"idle-timeout", required_argument, nullptr, IdleTimeout},
    {"max-connections-per-address", required_argument, nullptr, PerAddress},
    {"reply-delay", required_argument, nullptr, ReplyDelay},
    {"silent", required_argument, nullptr, Silent},
    {"flood", required_argument, nullptr, Flood},
    {"refuse", required_argument, nullptr, Refuse},
    {"late", required_argument, nullptr, Late},
    {"packet-size", required_argument, nullptr, PacketSize},
    {"packet-gap", required_argument, nullptr, PacketGap},
    {"close-after", required_argument, nullptr, CloseAfter},
    {"close-instead-of-reply", no_argument, nullptr, CloseInstead},
    {"port-file", required_argument, nullptr, PortFile},
    {"help", no_argument, nullptr, Help},
    {"version", no_argument, nullptr, Version},
    {nullptr, 0, nullptr, 0},
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
        "Identity:\n"
        "  --product TEXT  --model TEXT  --serial TEXT  --mac AA:BB:CC:DD:EE:FF\n"
        "  --bdaddr AA:BB:CC:DD:EE:FF  --bt-name TEXT  --firmware TEXT  --capabilities TEXT\n"
        "  --user U  --password P  --greeting TEXT\n"
        "  --mode N                  start in mode N: 0 Server, 1 Client, 2 Vertex, 3 Repeater,\n"
        "                            4 Serial Hub, 5 RS232\n"
        "  --reboot-downtime SECONDS how long a reboot refuses connections (default 20)\n"
        "  --idle-timeout SECONDS    close a connection that sends no command this long\n"
        "                            (default 300, 0: never)\n"
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

bool parseSeconds(const char* text, std::chrono::milliseconds& result) {
    char* end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400)
        return false;
    result = std::chrono::milliseconds(std::llround(seconds * 1000));
    return true;
}

bool parsePort(std::string_view text, std::uint16_t& port) {
    return parseNumber<std::uint16_t>(text, 0, 65535, port);
}

bool parseLate(std::string_view text, FaultOptions& faults) {
    const std::size_t equals = text.rfind('=');
    std::chrono::milliseconds delay{};
    if (equals == std::string_view::npos || equals == 0 || !parseMilliseconds(text.substr(equals + 1), delay))
        return false;
    faults.lateCommands[std::string(text.substr(0, equals))] = delay;
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

// ADDR,NAME[,QUALITY[,SIGNAL]]
bool parseLink(std::string_view text, std::vector<kvx::sim::LinkInfo>& links) {
    const auto parts = splitCommas(text);
    kvx::sim::LinkInfo link;
    if (parts.size() < 2 || parts.size() > 4 || !kvx::sim::parseColonAddress(parts[0]))
        return false;
    link.address = parts[0];
    link.name = parts[1];
    if ((parts.size() > 2 && !parseNumber(parts[2], 0, 255, link.quality)) ||
        (parts.size() > 3 && !parseNumber(parts[3], -128, 127, link.signal)))
        return false;
    links.push_back(std::move(link));
    return true;
}

// ADDR,COD,NAME
bool parseNeighbour(std::string_view text, std::vector<kvx::sim::NeighbourInfo>& neighbours) {
    const auto parts = splitCommas(text);
    if (parts.size() != 3 || !kvx::sim::parseColonAddress(parts[0]) || parts[1].size() != 8)
        return false;
    neighbours.push_back({std::string(parts[0]), std::string(parts[1]), std::string(parts[2])});
    return true;
}

// R|D,PARENT,NAME,ADDR; the first one given replaces the built-in network.
bool parseRepeaterLink(std::string_view text, bool& replaced,
                       std::vector<kvx::sim::RepeaterLinkInfo>& network) {
    using Kind = kvx::sim::RepeaterLinkInfo::Kind;
    const auto parts = splitCommas(text);
    if (parts.size() != 4 || (parts[0] != "R" && parts[0] != "D") || parts[1].empty() || parts[2].empty() ||
        !kvx::sim::parseColonAddress(parts[3]))
        return false;
    if (!replaced)
        network.clear();
    replaced = true;
    network.push_back({parts[0] == "R" ? Kind::Repeater : Kind::EndDevice, std::string(parts[1]),
                       std::string(parts[2]), std::string(parts[3])});
    return true;
}

// Enough going on to train with: three links of different quality and a few devices nearby.
void addDemo(DeviceOptions& device) {
    device.links.push_back({"00:1B:DC:0F:A1:01", "Barcode Scanner", 235, -2, "1", 12840, 20311});
    device.links.push_back({"00:1B:DC:0F:A1:02", "Label Printer", 207, -4, "2", 5120, 880});
    device.links.push_back({"00:1B:DC:0F:A1:03", "Handheld 7", 190, -11, "3", 402, 377});
    device.neighbours = {{"00:1B:DC:0F:A1:04", "0x5A020C", "Operator Phone"},
                         {"00:1B:DC:0F:A1:05", "0x1F00FF", "Scale Station 2"},
                         {"00:1B:DC:0F:A1:06", "0x240404", "Headset Bay 3"},
                         {"00:1B:DC:0F:A1:07", "0x000540", "Keyboard"}};
    device.linkChurn = true;
}

// Fills the options from the command line; false with a message on stderr when something is wrong.
bool parseArguments(int argc, char** argv, DeviceOptions& device, FaultOptions& faults, std::string& portFile,
                    bool& helpOnly, bool& versionOnly) {
    opterr = 0;
    bool repeaterNetworkGiven = false;
    for (;;) {
        const int previous = optind;
        int index = -1;
        const int id = getopt_long(argc, argv, "", kOptions, &index);
        if (id == -1)
            break;
        if (id == '?' || id == ':') {
            std::fprintf(stderr, "kvx100-sim: unknown option or missing value: %s\n",
                         previous < argc ? argv[previous] : "?");
            return false;
        }
        const std::string_view value = optarg ? optarg : "";
        bool ok = true;
        switch (id) {
        case Bind:
            device.bindAddress = value;
            break;
        case DiscoveryPort:
            ok = parsePort(value, device.discoveryPort);
            break;
        case ControlPort:
            ok = parsePort(value, device.controlPort);
            break;
        case AdvertisePort:
            ok = parsePort(value, device.advertisedControlPort);
            break;
        case AdvertiseAddress:
            device.advertisedAddress = value;
            break;
        case Product:
            device.productName = value;
            break;
        case Model:
            device.modelCode = value;
            break;
        case Serial:
            device.serialNumber = value;
            break;
        case Mac:
            device.macAddress = value;
            ok = kvx::sim::parseColonAddress(value).has_value();
            break;
        case BdAddr:
            device.btAddress = value;
            ok = kvx::sim::parseColonAddress(value).has_value();
            break;
        case BtName:
            device.btName = value;
            break;
        case Firmware:
            device.firmwareVersion = value;
            break;
        case Capabilities:
            device.capabilities = value;
            break;
        case User:
            device.user = value;
            break;
        case Password:
            device.password = value;
            break;
        case Greeting:
            device.greeting = value;
            break;
        case Mode:
            ok = parseNumber(value, 0, 5, device.initialMode);
            break;
        case RebootDowntime:
            ok = parseSeconds(optarg, device.rebootDowntime);
            break;
        case IdleTimeout:
            ok = parseSeconds(optarg, device.idleTimeout);
            break;
        case PerAddress:
            ok = parseNumber<std::size_t>(value, 1, kvx::sim::kMaxControlConnections,
                                          device.maxConnectionsPerAddress);
            break;
        case ReplyDelay:
            ok = parseMilliseconds(value, faults.replyDelay);
            break;
        case Silent:
            faults.silentCommands.insert(std::string(value));
            break;
        case Flood:
            faults.floodCommands.insert(std::string(value));
            break;
        case Refuse:
            faults.refusedCommands.insert(std::string(value));
            break;
        case Late:
            ok = parseLate(value, faults);
            break;
        case PacketSize:
            ok = parseNumber<std::size_t>(value, 0, 65536, faults.packetSize);
            break;
        case PacketGap:
            ok = parseMilliseconds(value, faults.packetGap);
            break;
        case CloseAfter:
            ok = parseNumber(value, 0, 1'000'000, faults.closeAfterCommands);
            break;
        case CloseInstead:
            faults.closeInsteadOfReply = true;
            break;
        case PortFile:
            portFile = value;
            break;
        case Link:
            ok = parseLink(value, device.links);
            break;
        case Neighbour:
            ok = parseNeighbour(value, device.neighbours);
            break;
        case Churn:
            device.linkChurn = true;
            break;
        case Repeater:
            ok = parseRepeaterLink(value, repeaterNetworkGiven, device.repeaterNetwork);
            break;
        case Station:
            device.stationAddress = value;
            ok = kvx::sim::parseColonAddress(value).has_value();
            break;
        case Demo:
            addDemo(device);
            break;
        case Help:
            helpOnly = true;
            break;
        case Version:
            versionOnly = true;
            break;
        default:
            ok = false;
            break;
        }
        if (!ok) {
            std::fprintf(stderr, "kvx100-sim: bad value for --%s: '%s'\n",
                         index >= 0 ? kOptions[index].name : "?", std::string(value).c_str());
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
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file)
        return false;
    const bool written = std::fprintf(file, "%u\n", static_cast<unsigned>(port)) > 0;
    if (std::fclose(file) != 0 || !written)
        return false;
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    DeviceOptions device;
    FaultOptions faults;
    std::string portFile;
    bool helpOnly = false;
    bool versionOnly = false;
    if (!parseArguments(argc, argv, device, faults, portFile, helpOnly, versionOnly)) {
        std::fputs("Try 'kvx100-sim --help'.\n", stderr);
        return kExitUsage;
    }
    if (helpOnly) {
        printUsage(stdout);
        return 0;
    }
    if (versionOnly) {
        std::printf("kvx100-sim %.*s\n", int(kvx::kVersion.size()), kvx::kVersion.data());
        return 0;
    }

    // The signals are taken by sigwait() below rather than by a handler: the device thread inherits the
    // blocked mask, so nothing interrupts it and stopping happens on an ordinary thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    kvx::sim::SimulatedDevice simulator(device);
    simulator.setFaults(faults);
    if (!simulator.start()) {
        std::fprintf(stderr, "kvx100-sim: cannot start: %s\n", simulator.lastError().c_str());
        return 1;
    }
    if (!portFile.empty() && !writePortFile(portFile, simulator.controlPort())) {
        std::fprintf(stderr, "kvx100-sim: cannot write %s\n", portFile.c_str());
        simulator.stop();
        return 1;
    }
    std::printf("kvx100-sim: control %s:%u, discovery %s:%u\n", device.bindAddress.c_str(),
                static_cast<unsigned>(simulator.controlPort()), device.bindAddress.c_str(),
                static_cast<unsigned>(simulator.discoveryPort()));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    simulator.stop();
    return 0;
}
