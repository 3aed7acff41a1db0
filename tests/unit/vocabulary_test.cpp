#include "core/vocabulary.h"

#include <gtest/gtest.h>

using namespace kvx;

TEST(Vocabulary, AddressFormsFollowTheirByteOrder) {
    const ByteSpan6 wire{0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_EQ(formatBdAddress(wire), "06:05:04:03:02:01");
    EXPECT_EQ(formatMacAddress(wire), "01:02:03:04:05:06");
    EXPECT_EQ(formatBdAddressSpaced({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xFE}), "00 : 1a : 2b : 3c : 4d : fe");
    EXPECT_EQ(formatMacAddress({0xAB, 0xCD, 0xEF, 0x00, 0x0a, 0xff}), "AB:CD:EF:00:0A:FF");
}

TEST(Vocabulary, EntryAddressCompleteness) {
    struct Case {
        const char* text;
        bool complete;
    };
    const Case cases[] = {
        {"00:11:22:33:44:55", true}, {"00:11:22:33:44:5_", false}, {"__:__:__:__:__:__", false},
        {"zz:zz:zz:zz:zz:zz", true}, {"00:11:22:33:44", false},    {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isEntryAddressComplete(c.text), c.complete) << c.text;
}

TEST(Vocabulary, ModeRepliesMatchExactly) {
    struct Case {
        const char* normalised;
        std::optional<int> index;
    };
    const Case cases[] = {
        {"+OK Server Mode", 0},
        {"+OK Client Mode", 1},
        {"+OK Vertex Mode", 2},
        {"+OK Repeater Mode", 3},
        {"+OK Serial Hub Mode", 4},
        {"+OK RS232 Mode", 5},
        {"+ok serial hub mode", std::nullopt},
        {"+OK SerialHub Mode", std::nullopt},
        {"+OK Server Mode ", std::nullopt},
        {"", std::nullopt},
        {"-ERR", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modeFromNormalisedReply(c.normalised), c.index) << c.normalised;
}

TEST(Vocabulary, ModeNamesKeywordsAndCaptions) {
    const char* names[] = {"Server", "Client", "Vertex", "Repeater", "SerialHub", "RS232"};
    const char* keywords[] = {"server", "client", "vertex", "repeater", "hub", "rs232"};
    for (int i = 0; i < kModeCount; ++i) {
        EXPECT_EQ(modeName(i), names[i]);
        EXPECT_EQ(modeKeyword(i), keywords[i]);
    }
    EXPECT_EQ(modeCaption(4), "Serial Hub Mode");
    for (int outside : {-1, 6, 100}) {
        EXPECT_EQ(modeName(outside), "Unknown");
        EXPECT_EQ(modeKeyword(outside), "");
    }
}

TEST(Vocabulary, VersionCodeReadsFirstAndThirdCharacters) {
    struct Case {
        const char* text;
        VersionCode code;
    };
    const Case cases[] = {
        {"1.7.0", 263},
        {"2.1", 513},
        {"1.0.2", 256},
        {"1.5\r\n", 261},
        {"2.1.0\r\n", 513},
        {"9x9", 9 * 256 + 9},
        // The minor digit is taken as an unsigned byte: ':' - '0' is 10, '/' - '0' wraps to 255.
        {"1.:", 266},
        {"1./", 256 + 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(versionCodeFromText(c.text), c.code) << c.text;
}

TEST(Vocabulary, ReplyHelpers) {
    EXPECT_EQ(normalisedReply("+OK\r\n"), "+OK");
    EXPECT_EQ(normalisedReply("+OK"), "+");
    EXPECT_EQ(normalisedReply("x"), "");
    EXPECT_TRUE(containsOk("data\r\n+OK\r\n"));
    EXPECT_FALSE(startsWithOk("data\r\n+OK\r\n"));
    EXPECT_TRUE(startsWithOk("+OK"));
    EXPECT_TRUE(containsToken("xx-ERRyy"));
    EXPECT_FALSE(containsToken("+O K -ER R"));
}

TEST(Vocabulary, LeadingDecimal) {
    struct Case {
        const char* text;
        unsigned value;
    };
    const Case cases[] = {{"9097", 9097}, {"80a", 80}, {"a80", 0}, {"", 0}, {" 80", 0}, {"0065535", 65535}};
    for (const Case& c : cases)
        EXPECT_EQ(leadingDecimal(c.text), c.value) << c.text;
    EXPECT_GT(leadingDecimal("99999999999999999999"), 65535u)
        << "a long digit run must not wrap to a valid port";
}

TEST(Vocabulary, CapabilityLine) {
    const std::string line = capabilityLineFrom("+OK REPEATER PRSV\r\nKATO other lines\r\n+OK\r\n");
    EXPECT_EQ(line, "+OK REPEATER PRSV");
    EXPECT_TRUE(capabilityLineSupports(line, "repeater"));
    EXPECT_TRUE(capabilityLineSupports(line, "PRSV"));
    EXPECT_FALSE(capabilityLineSupports(line, "KATO"));
    EXPECT_EQ(capabilityLineFrom("no line end"), "no line end");
    EXPECT_EQ(capabilityLineFrom("\nlater"), "");
    EXPECT_FALSE(capabilityLineSupports(capabilityLineFrom(""), "repeater"));
}

TEST(Vocabulary, ACommandIsOneLine) {
    struct Case {
        std::string_view command;
        bool single;
    };
    const Case cases[] = {
        {"Port 9\r\n", true},     {"Port 9", true},           {"", true},
        {"\r\n", true},           {"Port 9\r\n1\r\n", false}, {"Port 9\n1\r\n", false},
        {"Port 9\r1\r\n", false}, {"Port 9\n", false},        {"Port 9\r\n\r\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isSingleLine(c.command), c.single) << c.command;
}
