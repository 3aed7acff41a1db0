#include "route_state.h"

#include "sim/arguments.h"

#include <algorithm>

namespace kvx::sim {

RouteState::RouteState()
    : m_routes{{"00:1B:DC:0F:A1:01", "00:1B:DC:0F:A1:02"},
               {"00:1B:DC:0F:A1:01", "00:1B:DC:0F:A1:03"},
               {"00:1B:DC:0F:A1:02", "00:1B:DC:0F:A1:01"},
               {"00:1B:DC:0F:A1:04", "00:1B:DC:0F:A1:05"}} {}

void RouteState::registerCommands(CommandTable& table) {
    table.add("route", this, &RouteState::onRoute);
}

// "route" lists the table, "route ptp" empties it and goes back to plain point-to-point links, "route
// manual" and "route multi" choose how routes are made, and "route add" adds routes from its first
// address to each further one.
std::string RouteState::onRoute(std::string_view argument) {
    if (argument.empty()) {
        std::string reply;
        for (const auto& [from, to] : m_routes)
            reply += from + " > " + to + "\r\n";
        return reply + kOk;
    }
    if (argument == "ptp") {
        m_routes.clear();
        return kOk;
    }
    if (argument == "manual" || argument == "multi")
        return kOk;
    if (argument.starts_with("add "))
        return addRoutes(argument.substr(4));
    return kRefused;
}

std::string RouteState::addRoutes(std::string_view addresses) {
    const std::vector<std::string_view> list = words(addresses);
    if (list.size() < 2 || !std::all_of(list.begin(), list.end(),
                                        [](std::string_view a) { return parseColonAddress(a).has_value(); }))
        return kRefused;
    // The device keeps each route once, however often it is added, so a restore sending a route again
    // fits a full table.
    std::vector<std::pair<std::string, std::string>> added;
    for (std::size_t i = 1; i < list.size(); ++i) {
        std::pair<std::string, std::string> route{list[0], list[i]};
        if (std::find(m_routes.begin(), m_routes.end(), route) == m_routes.end() &&
            std::find(added.begin(), added.end(), route) == added.end())
            added.push_back(std::move(route));
    }
    if (m_routes.size() + added.size() > kMaxRoutes)
        return kTableFullReply;
    m_routes.insert(m_routes.end(), added.begin(), added.end());
    return kOk;
}

} // namespace kvx::sim
