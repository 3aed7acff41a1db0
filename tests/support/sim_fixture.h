#pragma once

#include "core/discovery.h"
#include "sim/simulated_device.h"

#include <gtest/gtest.h>
#include <memory>

namespace kvx::test {

// A simulated device on loopback with free ports, started for one test.
inline std::unique_ptr<sim::SimulatedDevice> startDevice(sim::DeviceOptions options = {}) {
    options.bindAddress = "127.0.0.1";
    options.discoveryPort = 0;
    options.controlPort = 0;
    auto device = std::make_unique<sim::SimulatedDevice>(std::move(options));
    EXPECT_TRUE(device->start()) << device->lastError();
    return device;
}

inline DiscoveryTarget loopbackTarget(const sim::SimulatedDevice& device) {
    return {"127.0.0.1", device.discoveryPort()};
}

} // namespace kvx::test
