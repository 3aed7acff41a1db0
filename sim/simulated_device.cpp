#include "simulated_device.h"

#include "sim/device_model.h"
#include "sim/socket_server.h"

namespace kvx::sim {

struct SimulatedDevice::Impl {
    explicit Impl(DeviceOptions deviceOptions)
        : options(std::move(deviceOptions))
        , model(options)
        , server(options, model) {}

    const DeviceOptions options;
    DeviceModel model;
    SocketServer server; // last, so that it stops before the model goes
};

SimulatedDevice::SimulatedDevice(DeviceOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

SimulatedDevice::~SimulatedDevice() = default;

bool SimulatedDevice::start() {
    return m_impl->server.start();
}

bool SimulatedDevice::run() {
    return m_impl->server.run();
}

void SimulatedDevice::stop() {
    m_impl->server.stop();
}

std::string SimulatedDevice::lastError() const {
    return m_impl->server.lastError();
}

std::uint16_t SimulatedDevice::controlPort() const {
    return m_impl->server.controlPort();
}

std::uint16_t SimulatedDevice::discoveryPort() const {
    return m_impl->server.discoveryPort();
}

void SimulatedDevice::setFaults(const FaultOptions& faults) {
    m_impl->server.setFaults(faults);
}

FaultOptions SimulatedDevice::faults() const {
    return m_impl->server.faults();
}

std::vector<std::string> SimulatedDevice::receivedCommands() const {
    return m_impl->server.receivedCommands();
}

std::size_t SimulatedDevice::connectionsAccepted() const {
    return m_impl->server.connectionsAccepted();
}

std::size_t SimulatedDevice::discoveryRequestsAnswered() const {
    return m_impl->server.discoveryRequestsAnswered();
}

std::size_t SimulatedDevice::peakPendingOutput() const {
    return m_impl->server.peakPendingOutput();
}

int SimulatedDevice::mode() const {
    return m_impl->model.withAreas([](auto& areas) { return areas.mode.current(); });
}

void SimulatedDevice::setMode(int mode) {
    m_impl->model.withAreas([mode](auto& areas) { areas.mode.set(mode); });
}

void SimulatedDevice::setBluetoothConnectionActive(bool active) {
    m_impl->model.withAreas([active](auto& areas) { areas.bluetooth.setSerialConnectionActive(active); });
}

void SimulatedDevice::setLog(std::string text) {
    m_impl->model.withAreas([&text](auto& areas) { areas.system.setLog(std::move(text)); });
}

void SimulatedDevice::addLink(LinkInfo link) {
    m_impl->model.withAreas([&link](auto& areas) { areas.bluetooth.addLink(std::move(link)); });
}

void SimulatedDevice::addNeighbour(NeighbourInfo neighbour) {
    m_impl->model.withAreas(
        [&neighbour](auto& areas) { areas.bluetooth.addNeighbour(std::move(neighbour)); });
}

void SimulatedDevice::setLinkChurn(bool churn) {
    m_impl->model.withAreas([churn](auto& areas) { areas.bluetooth.setChurn(churn); });
}

std::vector<LinkInfo> SimulatedDevice::links() const {
    return m_impl->model.withAreas([](auto& areas) { return areas.bluetooth.links(); });
}

std::string SimulatedDevice::bluetoothName() const {
    return m_impl->model.withAreas([](auto& areas) { return areas.bluetooth.name(); });
}

} // namespace kvx::sim
