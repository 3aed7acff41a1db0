#pragma once

#include "platform/net.h"
#include "sim/options.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kvx::sim {

class DeviceModel;
struct ControlConnection; // one accepted TCP connection, its input and what is queued to send on it

// Serves the device model over UDP discovery and TCP control connections from one single-threaded poll
// loop, and shapes what it sends by the fault knobs: delays, packets, silence, floods and closes. It
// also owns what a network stack decides: idle and login time-outs, the connection caps, back-pressure
// on peers that do not read, and the reboot downtime.
class SocketServer {
public:
    SocketServer(const DeviceOptions& options, DeviceModel& model);
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    bool start(); // binds and starts the thread; false when binding failed
    bool run();   // binds and serves on this thread
    // Only an atomic store and a wake-up write, so that a signal handler may call it too.
    void stop();
    std::string lastError() const { return locked(m_lastError); }

    std::uint16_t controlPort() const { return locked(m_boundControlPort); }
    std::uint16_t discoveryPort() const { return locked(m_boundDiscoveryPort); }

    void setFaults(const FaultOptions& faults);
    FaultOptions faults() const { return locked(m_faults); }

    std::vector<std::string> receivedCommands() const;
    std::size_t connectionsAccepted() const { return locked(m_accepted); }
    std::size_t discoveryRequestsAnswered() const { return locked(m_answered); }
    // The most output that ever waited for one connection, in bytes with the queue's bookkeeping.
    std::size_t peakPendingOutput() const { return locked(m_peakPendingOutput); }

private:
    // A copy of state the loop thread changes.
    template <class T> T locked(const T& value) const {
        std::lock_guard lock(m_mutex);
        return value;
    }

    using Clock = std::chrono::steady_clock;

    void setError(std::string text);
    bool openWakeChannel();
    void wake() const;
    net::Socket bindSocket(net::Type type, std::uint16_t port, std::uint16_t& boundPort);
    bool openSockets();
    void boot();

    void acceptConnections(Clock::time_point now);
    void readFrom(ControlConnection& c, Clock::time_point now);
    void consumeInput(ControlConnection& c, Clock::time_point now);
    void handleLine(ControlConnection& c, std::string line, Clock::time_point now);
    void refuseLongLine(ControlConnection& c, Clock::time_point now);
    void pump(ControlConnection& c, Clock::time_point now);
    void closeStaleConnections(Clock::time_point now);
    void sweepConnections();
    void answerDiscovery();

    void goDown(Clock::time_point now);
    void comeBackUp(Clock::time_point now);
    int pollTimeout(Clock::time_point now) const;
    bool loop();
    void join();

    const DeviceOptions& m_options;
    DeviceModel& m_model;

    // Shared with other threads; guarded by m_mutex.
    mutable std::mutex m_mutex;
    FaultOptions m_faults;
    std::deque<std::string> m_received;
    std::size_t m_receivedBytes = 0; // of m_received
    std::size_t m_accepted = 0;
    std::size_t m_answered = 0;
    std::size_t m_peakPendingOutput = 0;
    std::string m_lastError;
    std::uint16_t m_boundControlPort = 0;
    std::uint16_t m_boundDiscoveryPort = 0;

    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_serving{false};
    net::WakeChannel m_wake;
    std::thread m_thread;

    // Loop thread only.
    net::Socket m_udpFd = net::kNoSocket;
    net::Socket m_listenFd = net::kNoSocket;
    std::vector<std::unique_ptr<ControlConnection>> m_connections;
    bool m_rebootRequested = false;
    std::optional<Clock::time_point> m_upAgainAt; // set while the device is rebooting
};

} // namespace kvx::sim
