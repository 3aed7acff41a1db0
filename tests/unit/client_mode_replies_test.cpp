#include "core/client_mode_replies.h"

#include <gtest/gtest.h>
#include <optional>

using namespace kvx;
using Entries = std::vector<ListedEntry>;
using Outcome = ServerList::Outcome;

TEST(ClientModeReplies, ServerListWithTheHostLine) {
    const ListedEntry byAddress{"1", "12:34:56:78:90:AB", "192.168.0.20:9100"};
    const ListedEntry byName{"2", "Printer", "192.168.0.21:9100"};
    const char* const twoServers =
        "1|12:34:56:78:90:AB||192.168.0.20:9100\r\n2||Printer|192.168.0.21:9100\r\n";
    const HostAddress host{{192, 168, 0, 10}, "9100"};
    struct Case {
        std::string reply;
        Entries entries;
        std::optional<HostAddress> host;
        Outcome outcome;
    };
    const Case cases[] = {
        {std::string(twoServers) + "+OK 192.168.0.10:9100\r\n", {byAddress, byName}, host, Outcome::Listed},
        {"+OK 192.168.0.10:9100\r\n", {}, host, Outcome::Listed},
        {"+OK 10.0.0.300:9100\r\n", {}, HostAddress{{10, 0, 0, 44}, "9100"}, Outcome::Listed},
        {"+OK 10.0.0.5\r\n", {}, HostAddress{{10, 0, 0, 5}, ""}, Outcome::Listed},
        {"+OK\r\n", {}, HostAddress{{0, 0, 0, 0}, ""}, Outcome::Listed},
        // Nothing after the host line is read, not even a line left without its CR LF.
        {"+OK 192.168.0.10:9100\r\n3||Late|1.1.1.1:1", {}, host, Outcome::Listed},
        {twoServers, {byAddress, byName}, std::nullopt, Outcome::Listed},
        {"+OK 192.168.0.10:9100", {}, std::nullopt, Outcome::Imperfect},
        {std::string(twoServers) + "+OK 192.168.0.10:9100",
         {byAddress, byName},
         std::nullopt,
         Outcome::Imperfect},
        {"-ERR\r\n", {}, std::nullopt, Outcome::Refused},
    };
    for (const Case& c : cases) {
        const ServerList list = parseServerList(c.reply);
        EXPECT_EQ(list.entries, c.entries) << c.reply;
        EXPECT_EQ(list.host, c.host) << c.reply;
        EXPECT_EQ(list.outcome, c.outcome) << c.reply;
    }
}

TEST(ClientModeReplies, IntervalAndReconnectCutAtTheirPositions) {
    struct Case {
        const char* normalised;
        const char* value;
    };
    const Case intervals[] = {
        {"+OK REPEAT every 5000 ms", "5000"},
        {"+OK REPEAT every 3000ms", "300"},
        {"+OK REPEAT every ", ""},
        {"+OK", ""},
    };
    for (const Case& c : intervals)
        EXPECT_EQ(intervalFrom(c.normalised), c.value) << c.normalised;
    const Case reconnects[] = {
        {"+OK PERSIST on", "on"}, {"+OK PERSIST off", "off"}, {"+OK PERSIST  on", " on"}, {"+OK", ""}};
    for (const Case& c : reconnects)
        EXPECT_EQ(reconnectFrom(c.normalised), c.value) << c.normalised;
}
