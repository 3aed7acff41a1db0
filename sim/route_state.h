#pragma once

#include "sim/command_table.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kvx::sim {

// Serial Hub mode: the routes along which the serial data of one Bluetooth device goes to others. It
// starts with a few routes, one pair of them opposite, so that a routing list has something to show.
class RouteState {
public:
    // A configuration restore sends at most this many routes.
    static constexpr std::size_t kMaxRoutes = 500;

    RouteState();

    void registerCommands(CommandTable& table);

private:
    std::string onRoute(std::string_view argument);
    std::string addRoutes(std::string_view addresses);

    std::vector<std::pair<std::string, std::string>> m_routes; // From, To, in the order they were added
};

} // namespace kvx::sim
