#pragma once

#include "core/device_link.h"
#include "core/transcript.h"
#include "sim_fixture.h"

#include <chrono>
#include <functional>

namespace kvx::test {

struct RecordingTranscript : Transcript {
    void append(std::string_view text) override { echoed += text; }
    void clear() override { echoed.clear(); }
    std::string echoed;
};

// Connects the link to a simulated device and logs in, leaving the login traffic out of the transcript.
inline void logIn(DeviceLink& link, Transcript& transcript, const sim::SimulatedDevice& device) {
    EXPECT_TRUE(link.create());
    EXPECT_TRUE(link.connectTo("127.0.0.1", device.controlPort()));
    link.receiveOnce(100);
    EXPECT_EQ(link.transact("User admin\r\n", 0, transcript), "+OK Password required\r\n");
    EXPECT_EQ(link.transact("Pass admin\r\n", 0, transcript), "+OK User Authenticated\r\n");
    transcript.clear();
}

// A logged-in link to a fresh simulated device.
struct LoggedInLink {
    explicit LoggedInLink(sim::DeviceOptions options = {}, DeviceLink::Timing timing = {})
        : device(startDevice(std::move(options)))
        , link(timing) {
        logIn(link, transcript, *device);
    }
    // One command line, answered within two seconds.
    std::string ask(const std::string& line) { return link.transact(line + "\r\n", 2, transcript); }
    void faults(const std::function<void(sim::FaultOptions&)>& change) {
        sim::FaultOptions f;
        change(f);
        device->setFaults(f);
    }
    template <class F> auto timed(F&& f, std::chrono::milliseconds& took) {
        const auto start = std::chrono::steady_clock::now();
        auto result = f();
        took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return result;
    }

    std::unique_ptr<sim::SimulatedDevice> device;
    DeviceLink link;
    RecordingTranscript transcript;
};

} // namespace kvx::test
