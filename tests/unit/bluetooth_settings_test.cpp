#include "core/bluetooth_settings.h"

#include <gtest/gtest.h>

using namespace kvx;
using Rows = std::vector<std::vector<std::string>>;
using Outcome = LocalDevices::Outcome;

TEST(BluetoothSettings, ValuesAreCutByPositionWithoutReadingPastTheReply) {
    struct Case {
        const char* normalised;
        const char* fromFour;
        const char* fromEight;
        const char* linkTimeout;
    };
    const Case cases[] = {
        {"+OK Desk", "Desk", "", ""},
        {"+OK Max 7", "Max 7", "7", ""},
        {"+OK Max ", "Max ", "", ""},
        {"+OK", "", "", ""},
        {"", "", "", ""},
        {"+OK LinkTimeout: 30 sec", "LinkTimeout: 30 sec", "Timeout: 30 sec", "30"},
        {"+OK LinkTimeout: 5 sec", "LinkTimeout: 5 sec", "Timeout: 5 sec", "5"},
        {"+OK LinkTimeout:  sec", "LinkTimeout:  sec", "Timeout:  sec", ""},
        {"+OK LinkTimeout: sec", "LinkTimeout: sec", "Timeout: sec", ""},
        {"+OK  two  blanks ", " two  blanks ", "  blanks ", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(valueFrom(c.normalised, kQueryValuePosition), c.fromFour) << c.normalised;
        EXPECT_EQ(valueFrom(c.normalised, kMaxDtValuePosition), c.fromEight) << c.normalised;
        EXPECT_EQ(linkTimeoutFrom(c.normalised), c.linkTimeout) << c.normalised;
    }
}

TEST(BluetoothSettings, ScanModeWordsDifferBetweenSentAndReported) {
    struct Case {
        ScanMode mode;
        const char* sent;
        const char* reported;
    };
    const Case cases[] = {
        {{true, true}, "Inquiry page", "inquiry page"},
        {{true, false}, "Inquiry", "inquiry "},
        {{false, true}, "Page", " page"},
        {{false, false}, "noscan", "noscan"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanWord(c.mode), c.sent);
        EXPECT_EQ(scanModeFromReport(c.reported), c.mode) << '"' << c.reported << '"';
        if (std::string_view(c.sent) != c.reported)
            EXPECT_EQ(scanModeFromReport(c.sent), std::nullopt) << "the sent word is no report: " << c.sent;
    }
    for (const char* other : {"inquiry", "page", "inquiry page ", "Noscan", ""})
        EXPECT_EQ(scanModeFromReport(other), std::nullopt) << '"' << other << '"';
}

TEST(BluetoothSettings, SecurityAndPairableWords) {
    EXPECT_EQ(securityWord(0), "low");
    EXPECT_EQ(securityWord(1), "high");
    EXPECT_EQ(securityWord(-1), "") << "no entry selected";
    EXPECT_EQ(securityEntryFromReport("low"), 0);
    EXPECT_EQ(securityEntryFromReport("high"), 1);
    EXPECT_EQ(pairableWord(true), "on");
    EXPECT_EQ(pairableWord(false), "off");
    EXPECT_EQ(pairableFromReport("on"), true);
    EXPECT_EQ(pairableFromReport("off"), false);
    for (const char* other : {"High", "low ", "medium", "", "ON", "on "}) {
        EXPECT_EQ(securityEntryFromReport(other), std::nullopt) << '"' << other << '"';
        EXPECT_EQ(pairableFromReport(other), std::nullopt) << '"' << other << '"';
    }
}

TEST(BluetoothSettings, LocalDevicesRows) {
    struct Case {
        const char* reply;
        Rows rows;
        Outcome outcome;
    };
    const Case cases[] = {
        {"+OK\r\n", {}, Outcome::Read},
        {"1|A1|10|20|0|0\r\n+OK\r\n", {{"1", "A1", "10", "20", "0", "0"}}, Outcome::Read},
        {"1|A1|10|20|0|0\r\n2|B2|1|2|3|4\r\n",
         {{"1", "A1", "10", "20", "0", "0"}, {"2", "B2", "1", "2", "3", "4"}},
         Outcome::Read},
        {"1|A1|10|20|0|0\r\n2|B2", {{"1", "A1", "10", "20", "0", "0"}}, Outcome::Imperfect},
        {"1|A1|10|20|0|0", {}, Outcome::Imperfect},
        {"whole line\r\n+OK\r\n", {{"", "", "", "", "", "whole line"}}, Outcome::Read},
        {"1|A1|10|20|0|0|extra\r\n+OK\r\n", {{"1", "A1", "10", "20", "0", "0|extra"}}, Outcome::Read},
        {"-ERR\r\n", {}, Outcome::Refused},
        {"-ERR busy", {}, Outcome::Refused},
        {"", {}, Outcome::Imperfect},
    };
    for (const Case& c : cases) {
        const LocalDevices parsed = parseLocalDevices(c.reply);
        EXPECT_EQ(parsed.rows, c.rows) << c.reply;
        EXPECT_EQ(parsed.outcome, c.outcome) << c.reply;
    }
}
