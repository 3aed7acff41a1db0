#pragma once

#include "sim/command_table.h"
#include "sim/pairing_table.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kvx::sim {

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
    std::string m_persist = "on";
    PairingTable m_servers{kMaxServers};
};

} // namespace kvx::sim
