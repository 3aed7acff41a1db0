#pragma once

#include "sim/command_table.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::sim {

// A Bluetooth device the device knows by its address or by its name (exactly one of the two is set),
// with what it is paired with: a data port in Server mode, a server's "IP:Port" in Client mode.
struct TableEntry {
    int index;
    std::string address;
    std::string name;
    std::string endpoint;
};

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
    bool m_keepSocket = false;
    std::string m_keepAlive = "600";
    std::string m_keepAliveInterval = "10";
    std::string m_keepAliveProbes = "3";
    std::vector<TableEntry> m_devices;
    int m_nextIndex = 1;
};

// What the device uses in Client mode: the host it connects to, how often it tries, whether it connects
// again after a lost link, and the server table pairing Bluetooth devices with servers.
class ClientState {
public:
    static constexpr std::size_t kMaxServers = 100; // as for the registered devices of Server mode

    // A few servers, so that a trainee's first look shows a table.
    ClientState();

    void registerCommands(CommandTable& table);

private:
    std::string onServers(std::string_view argument);
    std::string onDeleteServer(std::string_view argument);
    std::string onRepeat(std::string_view argument);
    std::string onRepeatSetting(std::string_view argument);
    std::string onPersist(std::string_view argument);

    std::string m_host = "192.168.0.10:9100";
    std::string m_interval = "3000";
    bool m_persist = true;
    std::vector<TableEntry> m_servers;
    int m_nextIndex = 1;
};

} // namespace kvx::sim
