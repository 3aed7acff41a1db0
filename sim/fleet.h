#pragma once

#include "sim/options.h"
#include "sim/simulated_device.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kvx::sim {

// The most devices one process serves; each holds a thread and a few descriptors.
inline constexpr int kMaxFleetDevices = 10000;

// Why `count` devices cannot start from the first one's options; empty when they can. The devices take
// consecutive addresses, which must stay inside 127.0.0.0/8 when the first is a loopback address.
std::string fleetProblem(const DeviceOptions& first, int count);

// Device `index` of `count`: the address `index` after the first, and serial number, MAC and Bluetooth
// address counted up by `index` and the Bluetooth name numbered, so that a search tells the devices
// apart. A fleet of one is the first device unchanged.
DeviceOptions fleetMember(const DeviceOptions& first, int index, int count);

// Devices that each keep their own settings and serve on a thread of their own.
class Fleet {
public:
    Fleet(const DeviceOptions& first, int count); // count must pass fleetProblem
    ~Fleet();
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    // All or nothing: when one device cannot bind, the ones started are stopped again.
    bool start(const FaultOptions& faults);
    void stop();
    std::string lastError() const { return m_lastError; }

    std::size_t size() const { return m_devices.size(); }
    SimulatedDevice& device(std::size_t index) { return *m_devices[index]; }
    DeviceOptions options(std::size_t index) const;

private:
    const DeviceOptions m_first;
    const int m_count;
    std::vector<std::unique_ptr<SimulatedDevice>> m_devices;
    std::string m_lastError;
};

} // namespace kvx::sim
