#pragma once

#include "sim/arguments.h"
#include "sim/discovery_reply.h"
#include "sim/options.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvx::sim {

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
    // The most output that ever waited for one connection to read it, in bytes with the queue's
    // bookkeeping: it stays near a bound however many commands a peer sends without reading.
    std::size_t peakPendingOutput() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace kvx::sim
