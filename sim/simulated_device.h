#pragma once

#include "sim/bluetooth_state.h"
#include "sim/repeater_state.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::sim {

// Control connections the device serves at once, from all peers together.
inline constexpr std::size_t kMaxControlConnections = 64;

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
};

// A simulated device serving UDP discovery and the TCP control protocol from one single-threaded poll
// loop. start() runs the loop on a thread of its own so that in-process tests can block on the manager's
// side; run() serves on the calling thread until stop() is called from elsewhere (or a signal handler).
class SimulatedDevice {
public:
    explicit SimulatedDevice(DeviceOptions options = {});
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    bool start(); // binds and starts the thread; false when binding failed
    bool run();   // binds and serves on this thread
    void stop();
    std::string lastError() const;

    std::uint16_t controlPort() const;   // the bound TCP port
    std::uint16_t discoveryPort() const; // the bound UDP port

    void setFaults(const FaultOptions& faults);
    FaultOptions faults() const;

    // Settings state, for tests that check what the manager changed.
    int mode() const;
    void setMode(int mode);
    void setBluetoothConnectionActive(bool active); // "list" answers "-ERR" while one is active
    void setLog(std::string text);
    void addLink(LinkInfo link);
    void addNeighbour(NeighbourInfo neighbour);
    void setLinkChurn(bool churn);
    std::vector<LinkInfo> links() const;
    std::string bluetoothName() const;

    // Every complete command line received since start, without its CR LF, in order.
    std::vector<std::string> receivedCommands() const;
    std::size_t connectionsAccepted() const;
    std::size_t discoveryRequestsAnswered() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The discovery reply the device sends: marker FA 05 21 EF and eight type-length-value records.
std::string buildDiscoveryReply(const DeviceOptions& options, const std::string& ipAddress,
                                std::uint16_t controlPort);

// "AA:BB:CC:DD:EE:FF" (hexadecimal, either case) to its six bytes in text order; nothing for any other shape.
std::optional<std::array<std::uint8_t, 6>> parseColonAddress(std::string_view text);

} // namespace kvx::sim
