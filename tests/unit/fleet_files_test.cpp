// The pure halves of a fleet run: what an inventory says, what a template becomes for a device, and
// which lines bring a device to a file.
#include "core/profile_file.h"
#include "fleet/convergence.h"
#include "fleet/inventory.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::fleet;

namespace {

ProfileFile profile(std::string_view text) {
    return ProfileFile::fromText(text);
}

std::vector<std::string> commands(const ApplyPlan& plan) {
    std::vector<std::string> out;
    for (const RestoreStep& step : plan.steps)
        out.push_back(step.command);
    return out;
}

} // namespace

TEST(Inventory, ReadsGroupsCredentialsAndVariables) {
    std::string error;
    const auto entries = parseInventory("# fleet\n10.0.0.4\n[site-a]\n10.0.0.5 name=lobby user=ops "
                                        "password_file=/pw room=\"east \\\"wing\\\"\"\n"
                                        "[site.b]\n10.0.0.5 room=\"east \\\"wing\\\"\"\n",
                                        error);
    ASSERT_TRUE(entries) << error;
    ASSERT_EQ(entries->size(), 2u);
    const InventoryEntry& lobby = (*entries)[1];
    EXPECT_EQ(lobby.name, "lobby");
    EXPECT_EQ(lobby.user, "ops");
    EXPECT_EQ(lobby.passwordFile, "/pw");
    EXPECT_EQ(lobby.groups, (std::vector<std::string>{"site-a", "site.b"}));
    EXPECT_EQ(lobby.variables,
              (std::map<std::string, std::string>{{"name", "lobby"}, {"room", "east \"wing\""}}));
    EXPECT_TRUE((*entries)[0].groups.empty());
}

TEST(Inventory, ALineItCannotReadIsNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"10.0.0.300\n", "line 1: not a device address: 10.0.0.300"},
        {"\n10.0.0.5 name\n", "line 2: expected key=value, found name"},
        {"10.0.0.5 1x=2\n", "line 1: expected key=value, found 1x=2"},
        {"10.0.0.5 name=\"open\n", "line 1: a quoted value has no closing quote"},
        {"10.0.0.5 name=\"a\"b\n", "line 1: a quoted value runs into the next word"},
        {"10.0.0.5 name=a\"b\n", "line 1: a quote stands inside a word"},
        {"10.0.0.5 name=a name=b\n", "line 1: name is given twice"},
        {"10.0.0.5 name=\"a\x1b[2J\"\n", "line 1: the value of name holds a control character"},
        {"[a b]\n", "line 1: a group is [NAME] of letters, digits, \"_\", \"-\" and \".\""},
        {"10.0.0.5 user=a\n[b]\n10.0.0.5 user=b\n", "line 3: user differs from line 1"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseInventory(text, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

TEST(Inventory, VariablesAreReplacedInValuesOnly) {
    const std::map<std::string, std::string> variables{{"name", "Lobby 1"}, {"host", "10.0.0.5"}};
    const std::pair<const char*, const char*> expanded[] = {
        {"KVX-${name}", "KVX-Lobby 1"},
        {"${name}/${host}", "Lobby 1/10.0.0.5"},
        {"${", "${"},
        {"cost ${9} ${ name}", "cost ${9} ${ name}"},
        {"${name", "${name"},
    };
    for (const auto& [value, expected] : expanded) {
        ProfileFile file = profile(std::string("[BTNAME]\r\nBtname=") + value + "\r\n");
        EXPECT_EQ(expandVariables(file, variables), std::nullopt) << value;
        EXPECT_EQ(file.read("BTNAME", "Btname"), expected) << value;
    }
    ProfileFile missing = profile("[BTNAME]\r\nBtname=${name}\r\n[MAXDT]\r\nMaxdt=${room}\r\n");
    EXPECT_EQ(expandVariables(missing, variables), "${room} has no value for this device");
    EXPECT_EQ(missing.read("BTNAME", "Btname"), "${name}");
}

// The device's own settings are the simulator's starting point, trimmed to what each row needs.
TEST(Convergence, OnlyWhatTheFileHoldsIsComparedAndSent) {
    const ProfileFile device =
        profile("[MODE]\r\nMode=Server Mode\r\n[RS232]\r\nBaudRate=115200\r\nData=8\r\n"
                "Flow=none\r\n[BIND]\r\n0Name=A\r\n0Port=9101\r\n1Name=B\r\n1Port=9102\r\n"
                "SUM=2\r\n[SERV]\r\n3Name=S\r\n3Server=10.0.0.9:9100\r\n"
                "Client Server=10.0.0.1:9000\r\nSUM=1\r\n[ROUTE]\r\n0From=X\r\n0To=Y\r\n"
                "SUM=1\r\n");
    struct Case {
        const char* file;
        ListMatch lists;
        std::vector<std::string> groups;
        std::vector<std::string> commands;
    };
    const Case cases[] = {
        // A key the file lacks keeps the device's value on the line that carries it.
        {"[RS232]\r\nBaudRate=9600\r\n", ListMatch::Contains, {"RS232"}, {"rs232 9600 8 none;\r\n"}},
        {"[RS232]\r\nbaudrate=115200\r\n[MODE]\r\nMode=Server Mode\r\n", ListMatch::Exact, {}, {}},
        // Entries in another order, or a list without its SUM, are no change.
        {"[BIND]\r\n0Name=B\r\n0Port=9102\r\n1Name=A\r\n1Port=9101\r\nSUM=2\r\n", ListMatch::Exact, {}, {}},
        {"[BIND]\r\n0Name=C\r\n0Port=9103\r\n", ListMatch::Exact, {}, {}},
        // Missing entries are added; the device's extra ones stay unless the file replaces the list, and
        // then go only after the additions, unless an addition needs the very port or name.
        {"[BIND]\r\n0Name=C\r\n0Port=9103\r\nSUM=1\r\n", ListMatch::Contains, {"BIND"}, {"bind C 9103;\r\n"}},
        {"[BIND]\r\n0Name=A\r\n0Port=9101\r\n1Name=C\r\n1Port=9102\r\nSUM=2\r\n",
         ListMatch::Exact,
         {"BIND"},
         {"Rele 9102\r\n", "bind C 9102;\r\n"}},
        {"[BIND]\r\n0Name=A\r\n0Port=9101\r\n1Name=C\r\n1Port=10003\r\nSUM=2\r\n",
         ListMatch::Exact,
         {"BIND"},
         {"bind C 10003;\r\n", "Rele 9102\r\n"}},
        // The client's server goes with the client mode only, on the restore's lines.
        {"[MODE]\r\nMode=Client Mode\r\n[SERV]\r\nSUM=0\r\nClient Server=10.0.0.2:9000\r\n",
         ListMatch::Exact,
         {"MODE", "SERV"},
         {"serv 10.0.0.2:9000;\r\n", "mode client;\r\n", "mode Client Mode;\r\n", "DelServ S\r\n"}},
        {"[SERV]\r\nClient Server=10.0.0.2:9000\r\n", ListMatch::Exact, {}, {}},
        // Servers count without their SUM, as the restore sends every pair.
        {"[SERV]\r\n5Name=T\r\n5Server=10.0.0.8:1\r\n",
         ListMatch::Contains,
         {"SERV"},
         {"Serv 10.0.0.8:1 T;\r\n"}},
        // A route From goes with all its To addresses, as the restore sends it.
        {"[ROUTE]\r\n0From=X\r\n0To=Y\r\n1From=X\r\n1To=Z\r\nSUM=2\r\n",
         ListMatch::Contains,
         {"ROUTE"},
         {"route multi;\r\n", "route manual;\r\n", "route add X Y Z;\r\n"}},
        // Routes cannot be removed one by one: the table is emptied and the file's routes added anew.
        {"[ROUTE]\r\n0From=X\r\n0To=Z\r\nSUM=1\r\n",
         ListMatch::Exact,
         {"ROUTE"},
         {"route ptp;\r\n", "route multi;\r\n", "route manual;\r\n", "route add X Z;\r\n"}},
    };
    for (const Case& c : cases) {
        const ProfileFile file = profile(c.file);
        const ApplyPlan plan = planApply(device, file, differencesOf(device, file, c.lists));
        EXPECT_EQ(plan.groups, c.groups) << c.file;
        EXPECT_EQ(commands(plan), c.commands) << c.file;
        // The device's routes are kept to be put back wherever the table is emptied.
        const std::vector<std::string> back = {"route multi;\r\n", "route manual;\r\n", "route add X Y;\r\n"};
        EXPECT_EQ(commands({{}, plan.routesBack, {}, {}}),
                  plan.routesCleared ? back : std::vector<std::string>{})
            << c.file;
    }
}

TEST(Convergence, DifferencesReadAsTheyAreShown) {
    const ProfileFile device = profile("[MAXDT]\r\nMaxdt=7\r\n[BIND]\r\n0Name=A\r\n0Port=9101\r\nSUM=1\r\n");
    const ProfileFile file = profile("[MAXDT]\r\nMaxdt=3\r\n[BIND]\r\n0Name=B\r\n0Port=9102\r\nSUM=1\r\n");
    std::vector<std::string> shown;
    for (const Difference& d : differencesOf(device, file, ListMatch::Exact))
        shown.push_back(differenceText(d));
    // In the backup's order of groups.
    EXPECT_EQ(shown, (std::vector<std::string>{"BIND entry \"A 9101\": on the device only",
                                               "BIND entry \"B 9102\": in the file only",
                                               "MAXDT Maxdt: device \"7\", file \"3\""}));
}
