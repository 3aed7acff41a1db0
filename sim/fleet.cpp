#include "fleet.h"

#include "platform/net.h"
#include "sim/arguments.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace kvx::sim {
namespace {

bool isLoopback(std::uint32_t address) {
    return (address >> 24) == 127;
}

// The 48-bit address counted up, wrapping round; a text that is no address stays as it is.
std::string colonAddressPlus(const std::string& text, int offset) {
    const auto bytes = parseColonAddress(text);
    if (!bytes)
        return text;
    std::uint64_t value = 0;
    for (const std::uint8_t byte : *bytes)
        value = (value << 8) | byte;
    value += static_cast<std::uint64_t>(offset);
    char buffer[18];
    std::snprintf(buffer, sizeof buffer, "%02X:%02X:%02X:%02X:%02X:%02X", unsigned(value >> 40 & 0xFF),
                  unsigned(value >> 32 & 0xFF), unsigned(value >> 24 & 0xFF), unsigned(value >> 16 & 0xFF),
                  unsigned(value >> 8 & 0xFF), unsigned(value & 0xFF));
    return buffer;
}

// The number the serial ends in counted up, keeping its leading zeros; a serial without one is numbered
// like the Bluetooth name.
std::string serialPlus(const std::string& serial, int offset) {
    const std::size_t digits = serial.find_last_not_of("0123456789") + 1; // 0 when all are digits
    const std::string number = serial.substr(digits);
    if (number.empty() || number.size() > 18)
        return serial + "-" + std::to_string(offset + 1);
    std::string counted = std::to_string(std::stoull(number) + static_cast<unsigned>(offset));
    if (counted.size() < number.size())
        counted.insert(0, number.size() - counted.size(), '0');
    return serial.substr(0, digits) + counted;
}

} // namespace

std::string fleetProblem(const DeviceOptions& first, int count) {
    if (count < 1 || count > kMaxFleetDevices)
        return "--devices takes 1 to " + std::to_string(kMaxFleetDevices) + " devices, not " +
               std::to_string(count);
    if (count == 1)
        return {};
    const auto address = net::parseIpv4(first.bindAddress);
    if (!address)
        return "bad bind address: " + first.bindAddress;
    if (*address == net::kAnyAddress)
        return "several devices need a bind address of their own; 0.0.0.0 would be every one";
    const std::uint64_t last = std::uint64_t{*address} + static_cast<unsigned>(count) - 1;
    if (last > UINT32_MAX || (isLoopback(*address) && !isLoopback(static_cast<std::uint32_t>(last))))
        return std::to_string(count) + " devices from " + first.bindAddress + " would leave " +
               (isLoopback(*address) ? "127.0.0.0/8" : "the IPv4 addresses");
    return {};
}

DeviceOptions fleetMember(const DeviceOptions& first, int index, int count) {
    DeviceOptions options = first;
    if (count == 1)
        return options;
    if (const auto address = net::parseIpv4(first.bindAddress))
        options.bindAddress = net::ipv4Text(*address + static_cast<std::uint32_t>(index));
    options.serialNumber = serialPlus(first.serialNumber, index);
    options.macAddress = colonAddressPlus(first.macAddress, index);
    options.btAddress = colonAddressPlus(first.btAddress, index);
    options.btName = first.btName + "-" + std::to_string(index + 1);
    return options;
}

Fleet::Fleet(const DeviceOptions& first, int count)
    : m_first(first)
    , m_count(count) {}

Fleet::~Fleet() {
    stop();
}

DeviceOptions Fleet::options(std::size_t index) const {
    return fleetMember(m_first, static_cast<int>(index), m_count);
}

bool Fleet::start(const FaultOptions& faults) {
    stop();
    m_devices.reserve(static_cast<std::size_t>(m_count));
    for (int index = 0; index < m_count; ++index) {
        auto device = std::make_unique<SimulatedDevice>(fleetMember(m_first, index, m_count));
        device->setFaults(faults);
        if (!device->start()) {
            m_lastError = device->lastError();
            if (m_count > 1)
                m_lastError = "device " + std::to_string(index + 1) + ": " + m_lastError;
            stop();
            return false;
        }
        m_devices.push_back(std::move(device));
    }
    return true;
}

void Fleet::stop() {
    m_devices.clear(); // each device stops its thread as it goes
}

} // namespace kvx::sim
