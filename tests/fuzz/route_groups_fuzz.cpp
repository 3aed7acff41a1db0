#include "core/route_groups.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>

namespace {

using RouteSet = std::set<std::pair<std::string, std::string>>;

bool holds(const std::vector<kvx::Route>& routes, const std::string& from, const std::string& to) {
    return std::find(routes.begin(), routes.end(), kvx::Route{from, to}) != routes.end();
}

// The routes a "route add" line asks for: its first address to each further one.
void addRoutesOf(const std::string& line, RouteSet& routes) {
    constexpr std::string_view kPrefix = "route add ";
    if (!line.starts_with(kPrefix) || !line.ends_with("\r\n"))
        std::abort();
    std::vector<std::string> words;
    std::string_view rest(line);
    rest = rest.substr(kPrefix.size(), rest.size() - kPrefix.size() - 2);
    for (std::size_t blank; (blank = rest.find(' ')) != std::string_view::npos; rest.remove_prefix(blank + 1))
        words.emplace_back(rest.substr(0, blank));
    words.emplace_back(rest);
    for (std::size_t i = 1; i < words.size(); ++i)
        routes.emplace(words[0], words[i]);
}

} // namespace

// Two readings, split at the first NUL (one reading read twice without it). Every row stands for a route
// of the first reading, a two-way row also for its opposite in both; each From heads one group; and when
// the readings agree, the lines of Apply ask for exactly the routes that were read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::vector<kvx::Route> listed = kvx::routesFrom(input.substr(0, split));
    const std::vector<kvx::Route> table =
        split == std::string_view::npos ? listed : kvx::routesFrom(input.substr(split + 1));
    const std::vector<kvx::RouteRow> rows = kvx::groupRoutes(listed, table);
    if (rows.size() > listed.size() || (!rows.empty() && rows.front().from.empty()))
        std::abort();
    std::set<std::string> heads;
    std::string from;
    for (const kvx::RouteRow& row : rows) {
        if (!row.from.empty()) {
            from = row.from;
            if (!heads.insert(from).second)
                std::abort();
        }
        if (row.to.empty() || !holds(listed, from, row.to))
            std::abort();
        if (row.twoWay && (!holds(listed, row.to, from) || !holds(table, from, row.to)))
            std::abort();
    }
    const bool blanksInAddresses = std::any_of(listed.begin(), listed.end(), [](const kvx::Route& r) {
        return r.from.find(' ') != std::string::npos || r.to.find(' ') != std::string::npos;
    });
    if (split != std::string_view::npos || blanksInAddresses)
        return 0;
    RouteSet sent;
    for (const std::string& line : kvx::routeAddLines(rows))
        addRoutesOf(line, sent);
    RouteSet read;
    for (const kvx::Route& route : listed)
        read.emplace(route.from, route.to);
    if (sent != read)
        std::abort();
    return 0;
}
