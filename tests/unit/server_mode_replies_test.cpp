#include "core/server_mode_replies.h"

#include <gtest/gtest.h>

using namespace kvx;
using Entries = std::vector<ListedEntry>;
using Outcome = BindList::Outcome;

TEST(ServerModeReplies, EntryLineByAddressOrByName) {
    struct Case {
        const char* line;
        ListedEntry entry;
    };
    const Case cases[] = {
        {"3||Printer|9103", {"3", "Printer", "9103"}},
        {"4|1234567890AB||9104", {"4", "1234567890AB", "9104"}},
        {"5|12:34:56:78:90:AB||9105", {"5", "12:34:56:78:90:AB", "9105"}},
        {"6||Desk phone|10.0.0.1:9100", {"6", "Desk phone", "10.0.0.1:9100"}},
        // An address is cut at the "||" of the empty name, a name at the next single "|".
        {"7|A|B||9107", {"7", "A|B", "9107"}},
        {"8||A||9108", {"8", "A", "|9108"}},
        {"9||Printer", {"9", "Printer", ""}},
        {"10|AB", {"10", "AB", ""}},
        {"11", {"11", "", ""}},
        {"", {"", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listedEntryFromLine(c.line), c.entry) << c.line;
}

TEST(ServerModeReplies, BindList) {
    const ListedEntry printer{"3", "Printer", "9103"};
    const ListedEntry address{"4", "1234567890AB", "9104"};
    struct Case {
        const char* reply;
        Entries entries;
        Outcome outcome;
    };
    const Case cases[] = {
        {"+OK\r\n", {}, Outcome::Listed},
        {"3||Printer|9103\r\n4|1234567890AB||9104\r\n+OK\r\n", {printer, address}, Outcome::Listed},
        {"3||Printer|9103\r\n4|1234567890AB||9104\r\n", {printer, address}, Outcome::Listed},
        {"3||Printer|9103\r\n+OK\r\n4|1234567890AB||9104\r\n", {printer}, Outcome::Listed},
        {"3||Printer|9103", {}, Outcome::Imperfect},
        {"3||Printer|9103\r\n4|1234", {printer}, Outcome::Imperfect},
        {"+OK", {}, Outcome::Imperfect},
        {"-ERR\r\n", {}, Outcome::Refused},
        {"-ERR 3||Printer|9103\r\n", {}, Outcome::Refused},
    };
    for (const Case& c : cases) {
        const BindList list = parseBindList(c.reply);
        EXPECT_EQ(list.entries, c.entries) << c.reply;
        EXPECT_EQ(list.outcome, c.outcome) << c.reply;
    }
}

TEST(ServerModeReplies, ValuesCutFromTheQueries) {
    struct PortCase {
        const char* normalised;
        const char* port;
    };
    const PortCase ports[] = {{"+OK 9101", "9101"}, {"+OK Port is 19101", "9101"}, {"+OK", "+OK"}, {"", ""}};
    for (const PortCase& c : ports)
        EXPECT_EQ(defaultPortFrom(c.normalised), c.port) << c.normalised;

    struct KeepAliveCase {
        const char* reply;
        const char* value;
    };
    const KeepAliveCase keepAlives[] = {
        {"+OK KATO 300 10 3\r\n", "300"}, {"+OK KATO 300\r\n", "300"}, // the line end stays out of the value
        {"+OK KATO 300", "300"},          {"+OK KATO  300 10 3\r\n", ""}, {"+OK KATO ", ""}, {"+OK\r\n", ""},
    };
    for (const KeepAliveCase& c : keepAlives)
        EXPECT_EQ(keepAliveFrom(c.reply), c.value) << c.reply;
}
