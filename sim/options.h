#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kvx::sim {

// Control connections the device serves at once, from all peers together.
inline constexpr std::size_t kMaxControlConnections = 64;

// One live Bluetooth connection as "List" reports it.
struct LinkInfo {
    std::string address; // remote address, "AA:BB:CC:DD:EE:FF"
    std::string name;    // remote friendly name
    int quality = 230;   // link quality; the manager shows green above 215, yellow above 200
    int signal = 0;      // signal strength; below -8 the manager shows red
    std::string port = "1";
    std::uint64_t tx = 0;
    std::uint64_t rx = 0;
};

struct NeighbourInfo {
    std::string address;
    std::string classOfDevice = "0x5A020C";
    std::string name;
};

// One link of the repeater network: a repeater below its parent, or an end device attached to it.
// The device lists the links in this order, so a repeater must come before the links below it.
struct RepeaterLinkInfo {
    enum class Kind { Repeater, EndDevice };
    Kind kind = Kind::Repeater;
    std::string parent;
    std::string name;
    std::string address; // "AA:BB:CC:DD:EE:FF"
};

// Three levels below the device, so that a tree has something to show.
std::vector<RepeaterLinkInfo> defaultRepeaterNetwork();

// Everything an operator or a test can set on the simulated device. Values the manager shows are kept
// as texts exactly as the device would report them.
struct DeviceOptions {
    std::string bindAddress = "127.0.0.1";
    std::uint16_t discoveryPort = 9097; // 0 picks a free port
    std::uint16_t controlPort = 0;      // 0 picks a free port
    // Port advertised in the discovery reply; 0 advertises the bound control port.
    std::uint16_t advertisedControlPort = 0;
    // Address advertised in the discovery reply; empty advertises the bind address (or the address the
    // request arrived on, when bound to 0.0.0.0).
    std::string advertisedAddress;

    std::string productName = "Lumeno-KVX100";
    std::string modelCode = "100";
    std::string serialNumber = "KVX100-000001";
    std::string macAddress = "00:1A:2B:3C:4D:5E";
    std::string btAddress = "00:11:22:33:44:55";
    std::string btName = "KVX-Trainer";
    std::string firmwareVersion = "2.1.0";
    std::string capabilities = "REPEATER PRSV KATO";
    std::string user = "admin";
    std::string password = "admin";
    std::string greeting = "Lumeno-KVX100 ready";
    int initialMode = 0;
    std::vector<LinkInfo> links;           // live Bluetooth connections at start
    std::vector<NeighbourInfo> neighbours; // what the periodic inquiry finds
    bool linkChurn = false;                // connection counters and quality drift over time
    std::chrono::milliseconds rebootDowntime{20000};
    // What "repeater" lists, and the station address of Repeater mode.
    std::vector<RepeaterLinkInfo> repeaterNetwork = defaultRepeaterNetwork();
    std::string stationAddress = "00:1B:DC:0F:B0:01";

    // A connection that sends no complete command line for this long is closed (0: never). An operator
    // reading a page leaves the manager silent for minutes, so this stays well above that.
    std::chrono::milliseconds idleTimeout{300000};
    // A connection that has not logged in this long after it was accepted is closed, whatever it sends
    // meanwhile (0: never), so that peers sending blank lines cannot hold every slot.
    std::chrono::milliseconds loginTimeout{30000};
    // Connections one peer address may hold at once; further ones are refused, so that one peer cannot
    // take every one of the kMaxControlConnections.
    std::size_t maxConnectionsPerAddress = 8;
};

// Fault knobs: each can be changed while the device runs. Command keys are the first word of a command
// line as sent (case-sensitive), for example "Mode" or "mode".
struct FaultOptions {
    std::chrono::milliseconds replyDelay{0}; // before every reply
    // Each of these names command words, or whole command lines (without ";" and CR LF) for a fault
    // on one use of a word only; with wholeLines, whole lines only.
    bool wholeLines = false;
    std::set<std::string> silentCommands;                          // answered with nothing at all
    std::set<std::string> floodCommands;                           // "+OK ", then bytes, never a line end
    std::set<std::string> refusedCommands;                         // answered "-ERR"
    std::map<std::string, std::chrono::milliseconds> lateCommands; // answered after this extra delay
    std::set<std::string> trickledCommands;  // answered one byte a packet, packetGap apart
    std::set<std::string> cutOffCommands;    // half the reply, then the connection closes
    std::size_t packetSize = 0;              // replies cut into packets of this many bytes (0: whole)
    std::chrono::milliseconds packetGap{20}; // pause between packets, so they arrive as separate receives
    int closeAfterCommands = 0;              // close the connection after this many commands (0: never)
    bool closeInsteadOfReply = false;        // with closeAfterCommands: close before answering the last one
    // A device line nobody asked for: strayDelay after the reply to one of these commands is due (or would
    // be, for a silent one), strayLine goes out once on that connection, whole and between replies. Later
    // replies are not held back for it. Named like the knobs above; floods and cut-offs send none.
    std::set<std::string> strayAfterCommands;
    std::chrono::milliseconds strayDelay{300};
    std::string strayLine = "+OK 9600 5N1 xonoff\r\n"; // as sent, CR LF included
};

} // namespace kvx::sim
