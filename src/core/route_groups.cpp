#include "route_groups.h"

#include "core/status_lines.h"

#include <algorithm>

namespace kvx {
namespace {

bool isContinuationWithTo(const RouteRow& row) {
    return row.from.empty() && !row.to.empty();
}

// Where a row's route starts: its own From, or that of the nearest head row above it.
std::string_view sourceOf(const std::vector<RouteRow>& rows, std::size_t index) {
    for (std::size_t i = index + 1; i-- > 0;) {
        if (!rows[i].from.empty())
            return rows[i].from;
    }
    return {};
}

// Every two-way row pointing at `to`, as " source" each.
std::string reverseSources(const std::vector<RouteRow>& rows, std::string_view to) {
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].twoWay && rows[r].to == to)
            text.append(" ").append(sourceOf(rows, r));
    }
    return text;
}

std::string addLine(std::string_view from, std::string_view rest) {
    std::string line = "route add ";
    line.append(from).append(rest).append("\r\n");
    return line;
}

} // namespace

std::string_view directionText(bool twoWay) {
    return twoWay ? "<->" : "-->";
}

std::vector<Route> routesFrom(std::string_view reply) {
    std::vector<Route> routes;
    for (std::string_view line = takeLine(reply); !line.empty() && line.find("+OK") == std::string_view::npos;
         line = takeLine(reply)) {
        const std::size_t arrow = line.find('>');
        if (arrow == std::string_view::npos || arrow == 0)
            continue;
        const std::size_t fromEnd = line.find_last_not_of(' ', arrow - 1);
        const std::size_t toStart = line.find_first_not_of(' ', arrow + 1);
        if (fromEnd == std::string_view::npos || toStart == std::string_view::npos)
            continue;
        routes.push_back({std::string(line.substr(0, fromEnd + 1)), std::string(line.substr(toStart))});
    }
    return routes;
}

std::vector<RouteRow> groupRoutes(const std::vector<Route>& listed, const std::vector<Route>& table) {
    std::vector<RouteRow> rows;
    // The routes that made a row, with the index of that row.
    std::vector<std::pair<Route, std::size_t>> shown;
    for (const Route& route : listed) {
        const Route opposite{route.to, route.from};
        bool merged = false;
        // Both readings must hold the opposite route; a route seen only once stays a row of its own rather
        // than vanish from the list, and with it from the device on Apply.
        if (std::find(table.begin(), table.end(), opposite) != table.end()) {
            for (const auto& [earlier, row] : shown) {
                if (earlier == opposite) {
                    rows[row].twoWay = true;
                    merged = true;
                }
            }
        }
        if (merged)
            continue;
        std::optional<std::size_t> groupEnd;
        for (const auto& [earlier, row] : shown) {
            if (earlier.from == route.from)
                groupEnd = std::max(groupEnd.value_or(row), row);
        }
        if (!groupEnd) {
            rows.push_back({route.from, false, route.to});
            shown.emplace_back(route, rows.size() - 1);
            continue;
        }
        // The device need not list a From's routes together; placed anywhere else the row would be read,
        // and sent, as a route of the head above it.
        const std::size_t at = *groupEnd + 1;
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), {std::string(), false, route.to});
        for (auto& entry : shown) {
            if (entry.second >= at)
                ++entry.second;
        }
        shown.emplace_back(route, at);
    }
    return rows;
}

std::optional<RouteGroup> groupAt(const std::vector<RouteRow>& rows, std::size_t head) {
    if (head >= rows.size() || rows[head].from.empty())
        return std::nullopt;
    RouteGroup group{rows[head].from, {{rows[head].to, rows[head].twoWay}}};
    for (std::size_t r = head + 1; r < rows.size() && isContinuationWithTo(rows[r]); ++r)
        group.targets.push_back({rows[r].to, rows[r].twoWay});
    return group;
}

void appendGroup(std::vector<RouteRow>& rows, const RouteGroup& group) {
    for (std::size_t k = 0; k < group.targets.size(); ++k)
        rows.push_back({k == 0 ? group.from : std::string(), group.targets[k].twoWay, group.targets[k].to});
}

void replaceGroup(std::vector<RouteRow>& rows, std::size_t head, const RouteGroup& group) {
    if (const std::optional<RouteGroup> old = groupAt(rows, head)) {
        const auto first = rows.begin() + static_cast<std::ptrdiff_t>(head);
        rows.erase(first, first + static_cast<std::ptrdiff_t>(old->targets.size()));
        appendGroup(rows, group);
    }
}

void deleteRow(std::vector<RouteRow>& rows, std::size_t index) {
    if (index >= rows.size())
        return;
    const auto at = rows.begin() + static_cast<std::ptrdiff_t>(index);
    if (!at->from.empty() && index + 1 < rows.size() && isContinuationWithTo(rows[index + 1]))
        rows[index + 1].from = at->from;
    rows.erase(at);
}

std::vector<std::string> routeAddLines(const std::vector<RouteRow>& rows) {
    std::vector<std::string> lines;
    for (std::size_t h = 0; h < rows.size(); ++h) {
        if (rows[h].from.empty())
            continue;
        std::string rest = " " + rows[h].to;
        for (std::size_t r = h + 1; r < rows.size() && isContinuationWithTo(rows[r]); ++r)
            rest.append(" ").append(rows[r].to);
        rest += reverseSources(rows, rows[h].from);
        lines.push_back(addLine(rows[h].from, rest));
    }
    for (const RouteRow& row : rows) {
        const bool headsARow = std::any_of(rows.begin(), rows.end(),
                                           [&](const RouteRow& other) { return other.from == row.to; });
        // Each such row sends its line, so rows sharing one To repeat the same line.
        if (row.twoWay && !headsARow)
            lines.push_back(addLine(row.to, reverseSources(rows, row.to)));
    }
    return lines;
}

} // namespace kvx
