#pragma once

#include "sim/command_table.h"

#include <string>
#include <vector>

namespace kvx::sim {

// One link of the repeater network: a repeater below its parent, or an end device attached to it.
// The device lists the links in this order, so a repeater must come before the links below it.
struct RepeaterLinkInfo {
    enum class Kind { Repeater, EndDevice };
    Kind kind = Kind::Repeater;
    std::string parent;
    std::string name;
    std::string address; // "AA:BB:CC:DD:EE:FF"
};

// Three levels below the device, so that a tree has something to show.
std::vector<RepeaterLinkInfo> defaultRepeaterNetwork();

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
