#pragma once

#include "sim/command_table.h"
#include "sim/pairing_table.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kvx::sim {

// What the device uses in Server mode: the default data port, whether TCP sockets are kept open, the
// keep-alive timing, and the registered Bluetooth devices, each with a data port of its own.
class ServerState {
public:
    // Far more than the 14 Bluetooth links a device holds at once, yet a peer cannot grow it without bound.
    static constexpr std::size_t kMaxDevices = 100;

    // A few registered devices, so that a trainee's first look shows a table.
    ServerState();

    void registerCommands(CommandTable& table);

private:
    std::string onPort(std::string_view argument);
    std::string onKeepSocket(std::string_view argument);
    std::string onKeepAlive(std::string_view argument);
    std::string onBind(std::string_view argument);
    std::string onRelease(std::string_view argument);

    std::string m_port = "9100";
    std::string m_keepSocket = "off";
    std::string m_keepAlive = "600";
    std::string m_keepAliveInterval = "10";
    std::string m_keepAliveProbes = "3";
    PairingTable m_devices{kMaxDevices};
};

} // namespace kvx::sim
