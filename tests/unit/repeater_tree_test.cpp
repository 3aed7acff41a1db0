#include "core/repeater_tree.h"
#include "core/station_address.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

// One line per item, indented two blanks a level; end devices marked with "*".
std::string outline(const RepeaterTree& tree) {
    std::string text;
    std::vector<std::pair<std::size_t, int>> pending;
    for (auto root = tree.roots.rbegin(); root != tree.roots.rend(); ++root)
        pending.emplace_back(*root, 0);
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        const RepeaterNode& n = tree.nodes[node];
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + n.text +
                (n.kind == RepeaterNode::Kind::EndDevice ? "*" : "") + "\n";
        for (auto child = n.children.rbegin(); child != n.children.rend(); ++child)
            pending.emplace_back(*child, depth + 1);
    }
    return text;
}

} // namespace

TEST(RepeaterTree, BuiltFromTheLinesInOrder) {
    struct Case {
        const char* name;
        const char* reply;
        const char* outline;
    };
    const Case cases[] = {
        {"repeater and end device", "R:A|B|hidden|X\r\nD:B|D|Y\r\n+OK\r\n", "A\n  B ( X )\n    D ( Y )*\n"},
        {"later repeater first", "R:A|B|1|X\r\nR:A|C|1|Z\r\n+OK\r\n", "A\n  C ( Z )\n  B ( X )\n"},
        {"end devices in reply order", "D:A|P|1\r\nD:A|Q|2\r\n+OK\r\n", "A\n  P ( 1 )*\n  Q ( 2 )*\n"},
        {"unknown parent becomes a root", "R:A|B|1|X\r\nD:C|D|Y\r\n+OK\r\n", "A\n  B ( X )\nC\n  D ( Y )*\n"},
        {"end device is no parent", "D:A|B|1\r\nD:B|C|2\r\n+OK\r\n", "A\n  B ( 1 )*\nB\n  C ( 2 )*\n"},
        {"names compared exactly", "R:A|B|1|X\r\nD:b|D|Y\r\n+OK\r\n", "A\n  B ( X )\nb\n  D ( Y )*\n"},
        {"only +OK", "+OK\r\n", ""},
        {"no +OK line", "R:A|B|1|X\r\nD:B|D|Y\r\n", "A\n  B ( X )\n    D ( Y )*\n"},
        {"no line end at all", "D:A|B|1", "A\n  B ( 1 )*\n"},
        {"empty line ends the list", "D:A|B|1\r\n\r\nD:A|C|2\r\n+OK\r\n", "A\n  B ( 1 )*\n"},
        {"line with +OK ends the list", "D:A|B|1\r\nD:A|+OK|2\r\nD:A|C|3\r\n", "A\n  B ( 1 )*\n"},
        {"lone line feeds", "R:A|B|1|X\nD:B|D|Y\n+OK\n", "A\n  B ( X )\n    D ( Y )*\n"},
        // Only the first field may be empty: every later search for "|" starts a character into it.
        {"empty fields", "R:|B||X|Y\r\nD:A||x\r\n", "\n  B ( Y )\nA\n  |x (  )*\n"},
        {"missing separators", "R:A|B\r\nD:A\r\n", "A\n  B (  )\n   (  )*\n"},
        {"short line", "D\r\n", "\n   (  )*\n"},
        {"fields after the last one stay in it", "D:A|B|x|y\r\n", "A\n  B ( x|y )*\n"},
        {"repeater named twice keeps the first", "R:A|B|1|X\r\nR:A|B|1|Z\r\nD:B|D|Y\r\n",
         "A\n  B ( Z )\n  B ( X )\n    D ( Y )*\n"},
    };
    for (const Case& c : cases) {
        const std::optional<RepeaterTree> tree = repeaterTreeFrom(c.reply);
        ASSERT_TRUE(tree) << c.name;
        EXPECT_EQ(outline(*tree), c.outline) << c.name;
    }
}

TEST(RepeaterTree, RefusalAnywhereBuildsNothing) {
    for (const char* reply : {"", "-ERR\r\n", "R:A|B|1|X\r\nD:B|D|Y\r\n-ERR\r\n", "D:A|-ERR|1\r\n+OK\r\n"})
        EXPECT_FALSE(repeaterTreeFrom(reply)) << reply;
}

TEST(StationAddress, ReplyCharactersForTheField) {
    struct Case {
        const char* reply;
        std::optional<std::string> input;
    };
    const Case cases[] = {
        {"+OK 00:11:22:33:44:55\r\n", "001122334455"},
        {"+OK 001122334455\r\n", "001122334455"},
        {"+OK\r\n", ""},
        {"+OK", ""},
        {"xx+OK:ab\r\n", "Kab"},
        {"-ERR\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stationInputFrom(c.reply), c.input) << c.reply;
}

TEST(StationAddress, CommandJoinsThePairs) {
    EXPECT_EQ(stationSetCommand("001122334455"), "station 00:11:22:33:44:55\r\n");
    EXPECT_EQ(stationSetCommand("aB:x e1234-*"), "station aB::x: e:12:34:-*\r\n");
}
