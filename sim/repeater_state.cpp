#include "repeater_state.h"

#include "sim/arguments.h"

#include <map>

namespace kvx::sim {

std::vector<RepeaterLinkInfo> defaultRepeaterNetwork() {
    using Kind = RepeaterLinkInfo::Kind;
    return {
        {Kind::Repeater, "KVX-Trainer", "Repeater Hall A", "00:1B:DC:0F:B1:01"},
        {Kind::Repeater, "KVX-Trainer", "Repeater Hall B", "00:1B:DC:0F:B1:02"},
        {Kind::Repeater, "Repeater Hall A", "Repeater Dock 1", "00:1B:DC:0F:B1:03"},
        {Kind::EndDevice, "Repeater Hall A", "Barcode Scanner", "00:1B:DC:0F:A1:01"},
        {Kind::EndDevice, "Repeater Dock 1", "Scale Station 2", "00:1B:DC:0F:A1:05"},
        {Kind::EndDevice, "Repeater Dock 1", "Handheld 7", "00:1B:DC:0F:A1:03"},
        {Kind::EndDevice, "Repeater Hall B", "Label Printer", "00:1B:DC:0F:A1:02"},
    };
}

RepeaterState::RepeaterState(std::vector<RepeaterLinkInfo> network, std::string station)
    : m_network(std::move(network))
    , m_station(std::move(station)) {}

void RepeaterState::registerCommands(CommandTable& table) {
    table.add("station", this, &RepeaterState::onStation);
    table.add("repeater", this, &RepeaterState::onRepeater);
}

std::string RepeaterState::onStation(std::string_view argument) {
    return setting(m_station, argument, {}, parseColonAddress(argument).has_value());
}

// "R:" parent|child|hops|address for a repeater, "D:" parent|device|address for an end device; hops
// count the repeaters from the device down to the child.
std::string RepeaterState::onRepeater(std::string_view) {
    std::map<std::string, int, std::less<>> hops;
    std::string reply;
    for (const RepeaterLinkInfo& link : m_network) {
        const auto parent = hops.find(link.parent);
        const int depth = (parent == hops.end() ? 0 : parent->second) + 1;
        if (link.kind == RepeaterLinkInfo::Kind::Repeater) {
            hops.emplace(link.name, depth);
            reply += "R:" + link.parent + "|" + link.name + "|" + std::to_string(depth) + "|" + link.address;
        } else {
            reply += "D:" + link.parent + "|" + link.name + "|" + link.address;
        }
        reply += "\r\n";
    }
    return reply + kOk;
}

} // namespace kvx::sim
