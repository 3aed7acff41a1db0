#include "core/route_groups.h"

#include <gtest/gtest.h>

using namespace kvx;

// Rows read as the list shows them in failure output.
namespace kvx {
void PrintTo(const RouteRow& row, std::ostream* out) {
    *out << "{" << row.from << " " << directionText(row.twoWay) << " " << row.to << "}";
}
} // namespace kvx

namespace {

const std::string X = "00:1B:DC:0F:B1:01";
const std::string Y = "00:1B:DC:0F:B1:02";
const std::string Z = "00:1B:DC:0F:B1:03";
const std::string W = "00:1B:DC:0F:B1:04";

RouteRow head(const std::string& from, bool twoWay, const std::string& to) {
    return {from, twoWay, to};
}
RouteRow more(bool twoWay, const std::string& to) {
    return {std::string(), twoWay, to};
}

} // namespace

TEST(RouteGroups, ReadsRoutesUpToTheEndOfTheList) {
    struct Case {
        const char* name;
        std::string reply;
        std::vector<Route> routes;
    };
    const Case cases[] = {
        {"only +OK", "+OK\r\n", {}},
        {"blanks around the arrow", "A  >  B \r\nC>D\r\n+OK\r\n", {{"A", "B "}, {"C", "D"}}},
        {"first arrow splits", "A > B > C\r\n+OK\r\n", {{"A", "B > C"}}},
        {"no route without both sides", "A >\r\n> B\r\n  > B\r\nno arrow\r\nC > D\r\n+OK\r\n", {{"C", "D"}}},
        {"empty line ends", "A > B\r\n\r\nC > D\r\n+OK\r\n", {{"A", "B"}}},
        {"line holding +OK ends", "A > B\r\nC > +OK\r\nE > F\r\n", {{"A", "B"}}},
        {"refused", "-ERR\r\n", {}},
        {"LF line ends", "A > B\nC > D\n+OK\n", {{"A", "B"}, {"C", "D"}}},
        {"CR line ends", "A > B\rC > D\r+OK\r", {{"A", "B"}, {"C", "D"}}},
        {"last line without its end", "A > B\r\nC > D", {{"A", "B"}, {"C", "D"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(routesFrom(c.reply), c.routes) << c.name;
}

TEST(RouteGroups, GroupsByFromAndMergesOppositeRoutes) {
    struct Case {
        const char* name;
        std::vector<Route> listed;
        std::vector<Route> table; // the second reading; the listed routes when empty
        std::vector<RouteRow> rows;
    };
    const Case cases[] = {
        {"opposite pair in one row", {{X, Y}, {X, Z}, {Y, X}}, {}, {head(X, true, Y), more(false, Z)}},
        {"one-way groups", {{X, Y}, {Y, Z}}, {}, {head(X, false, Y), head(Y, false, Z)}},
        {"a From listed apart joins its group",
         {{X, Y}, {Z, W}, {X, W}},
         {},
         {head(X, false, Y), more(false, W), head(Z, false, W)}},
        {"merged route is no group of its own",
         {{X, Y}, {Y, X}, {Y, Z}},
         {},
         {head(X, true, Y), head(Y, false, Z)}},
        {"continuation row turns two-way", {{X, Y}, {X, Z}, {Z, X}}, {}, {head(X, false, Y), more(true, Z)}},
        {"opposite missing from the second reading stays",
         {{X, Y}, {Y, X}},
         {{Y, X}},
         {head(X, false, Y), head(Y, false, X)}},
        {"duplicate routes both turn two-way",
         {{X, Y}, {X, Y}, {Y, X}},
         {},
         {head(X, true, Y), more(true, Y)}},
        {"no routes", {}, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(groupRoutes(c.listed, c.table.empty() ? c.listed : c.table), c.rows) << c.name;
}

TEST(RouteGroups, DeleteAndEditWorkOnWholeGroups) {
    const std::vector<RouteRow> three = {head(X, false, Y), more(true, Z), more(false, W), head(Y, false, Z)};
    struct Case {
        const char* name;
        std::size_t index;
        std::vector<RouteRow> afterDelete;
    };
    const Case cases[] = {
        {"head hands its From down", 0, {head(X, true, Z), more(false, W), head(Y, false, Z)}},
        {"continuation row", 1, {head(X, false, Y), more(false, W), head(Y, false, Z)}},
        {"lone head", 3, {head(X, false, Y), more(true, Z), more(false, W)}},
        {"past the end", 4, three},
    };
    for (const Case& c : cases) {
        std::vector<RouteRow> rows = three;
        deleteRow(rows, c.index);
        EXPECT_EQ(rows, c.afterDelete) << c.name;
    }

    EXPECT_EQ(groupAt(three, 0), (RouteGroup{X, {{Y, false}, {Z, true}, {W, false}}}));
    EXPECT_EQ(groupAt(three, 1), std::nullopt);
    EXPECT_EQ(groupAt({head(X, false, Y), more(false, ""), more(false, Z)}, 0),
              (RouteGroup{X, {{Y, false}}}));

    std::vector<RouteRow> rows = three;
    replaceGroup(rows, 0, {Z, {{X, true}, {"12:3_:__:__:__:__", false}}});
    EXPECT_EQ(rows,
              (std::vector<RouteRow>{head(Y, false, Z), head(Z, true, X), more(false, "12:3_:__:__:__:__")}));
    appendGroup(rows, {W, {}});
    EXPECT_EQ(rows.size(), 3u);
}

TEST(RouteGroups, ApplyLinesRebuildEveryRoute) {
    const auto add = [](const std::string& words) {
        return "route add " + words + "\r\n";
    };
    struct Case {
        const char* name;
        std::vector<RouteRow> rows;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"reverse on a line of its own",
         {head(X, true, Y), more(false, Z)},
         {add(X + " " + Y + " " + Z), add(Y + " " + X)}},
        {"two one-way groups", {head(X, false, Y), head(Y, false, X)}, {add(X + " " + Y), add(Y + " " + X)}},
        {"reverse joins the head of its To",
         {head(X, true, Y), head(Y, false, Z)},
         {add(X + " " + Y), add(Y + " " + Z + " " + X)}},
        {"continuation source is its head",
         {head(X, false, Y), more(true, Z), head(Z, false, W)},
         {add(X + " " + Y + " " + Z), add(Z + " " + W + " " + X)}},
        {"a shared To repeats its line",
         {head(X, true, Z), head(Y, true, Z)},
         {add(X + " " + Z), add(Y + " " + Z), add(Z + " " + X + " " + Y), add(Z + " " + X + " " + Y)}},
        {"group ends at a row without To",
         {head(X, false, Y), more(false, ""), more(false, Z)},
         {add(X + " " + Y)}},
        {"no rows", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(routeAddLines(c.rows), c.lines) << c.name;
}
