#pragma once

#include "core/connection.h"
#include "logged_in_link.h"

namespace kvx::test {

// The far end and the traffic, made before the connection that talks to the one and echoes into the
// other.
struct SimulatedPeer {
    std::unique_ptr<sim::SimulatedDevice> peer;
    RecordingTranscript traffic;
};

// A session over a real logged-in link to a simulated device, for windows that run a whole exchange
// against it; the requests are only counted. Its device record is empty, so a reboot's reconnection
// finds nobody.
class LinkSession : private SimulatedPeer, public Connection, public CountedRequests, public DeviceSession {
public:
    explicit LinkSession(sim::DeviceOptions options = {}, DeviceLink::Timing timing = {})
        : SimulatedPeer{startDevice(std::move(options)), {}}
        , Connection(timing, traffic) {
        // The manager's window waits in slices with its hook between them; so does every exchange here.
        setWaitHook([](std::string_view, std::chrono::milliseconds) {});
        logIn(link(), traffic, *peer);
        readCapabilities();
    }

    // Asks the device directly, as another manager would.
    std::string ask(const std::string& line) { return link().transact(line + "\r\n", 2, traffic); }
    sim::SimulatedDevice& device() { return *peer; }
};

} // namespace kvx::test
