#pragma once

#include "sim/command_table.h"
#include "sim/options.h"

#include <string>
#include <vector>

namespace kvx::sim {

// Repeater mode: the station the device relays towards, and the network of repeaters it has found.
class RepeaterState {
public:
    RepeaterState(std::vector<RepeaterLinkInfo> network, std::string station);

    void registerCommands(CommandTable& table);

private:
    std::string onStation(std::string_view argument);
    std::string onRepeater(std::string_view argument);

    std::vector<RepeaterLinkInfo> m_network;
    std::string m_station;
};

} // namespace kvx::sim
