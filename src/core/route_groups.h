#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Serial Hub route table as the routing window shows it: routes grouped by their From address, with
// a pair of opposite routes shown as one two-way row. Everything here is plain data and pure functions.
namespace kvx {

// One route as the device lists it: serial data of From goes to To.
struct Route {
    std::string from;
    std::string to;
    bool operator==(const Route&) const = default;
};

// One row of the routing list. A head row carries its From; the continuation rows below it leave From
// empty and route from the head's From.
struct RouteRow {
    std::string from;
    bool twoWay = false;
    std::string to;
    bool operator==(const RouteRow&) const = default;
};

struct RouteTarget {
    std::string to;
    bool twoWay = false;
    bool operator==(const RouteTarget&) const = default;
};

// What the route setting window edits: one From and its To addresses.
struct RouteGroup {
    std::string from;
    std::vector<RouteTarget> targets;
    bool operator==(const RouteGroup&) const = default;
};

// The direction column: "<->" or "-->".
std::string_view directionText(bool twoWay);

// The routes of a "route" reply, one "From > To" a line (lines as takeLine reads them), up to the first
// empty line or line holding "+OK".
// A line without ">" or with an empty side is no route and is passed over.
std::vector<Route> routesFrom(std::string_view reply);

// The rows for the routes `listed`, in their order. A route whose opposite was listed earlier adds no row
// when `table` (a second reading of the device) holds it too; the earlier route's row turns two-way. A
// further route of a From already shown goes directly below that From's rows.
std::vector<RouteRow> groupRoutes(const std::vector<Route>& listed, const std::vector<Route>& table);

// The group whose head row is `head`: its To addresses as long as the rows below carry an empty From and
// a To. Nothing when `head` is no head row.
std::optional<RouteGroup> groupAt(const std::vector<RouteRow>& rows, std::size_t head);

// The group as new rows at the end; a group without To adds none.
void appendGroup(std::vector<RouteRow>& rows, const RouteGroup& group);

// Removes the rows groupAt(head) gathered and appends `group` in their stead at the end.
void replaceGroup(std::vector<RouteRow>& rows, std::size_t head, const RouteGroup& group);

// A continuation row goes; a head row goes too, but its first continuation row, when it has a To, moves
// up to become the group's head, so that the rest of the group keeps its From.
void deleteRow(std::vector<RouteRow>& rows, std::size_t index);

// The "route add" lines that rebuild the device's table from the rows, in the order they are sent: one
// per head row with its To addresses and the sources of two-way rows pointing at it, then one per two-way
// row whose To heads no row, with every source pointing at that To.
std::vector<std::string> routeAddLines(const std::vector<RouteRow>& rows);

} // namespace kvx
