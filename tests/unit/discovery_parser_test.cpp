#include "core/discovery.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

std::string rec(int type, std::string value) {
    return std::string(1, static_cast<char>(type)) + std::string(1, static_cast<char>(value.size())) + value;
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

const std::string kMarker = std::string(kDiscoveryMarker);

std::string fullReply() {
    return kMarker + rec(1, "Lumeno-KVX100") + rec(2, "101") + rec(3, "SN42") +
           rec(4, bytes({192, 168, 0, 10})) + rec(5, bytes({0x23, 0x89})) +
           rec(6, bytes({1, 2, 3, 4, 5, 6})) + rec(7, "Desk") + rec(8, bytes({1, 2, 3, 4, 5, 6}));
}

} // namespace

TEST(DiscoveryParser, FullReplyFillsEveryField) {
    const auto record = parseDiscoveryReply(fullReply());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->productName, "Lumeno-KVX100");
    EXPECT_EQ(record->modelCode, "101");
    EXPECT_EQ(record->serialNumber, "SN42");
    EXPECT_EQ(record->ipAddress, "192.168.0.10");
    EXPECT_EQ(record->controlPort, "9097");
    EXPECT_EQ(record->macAddress, "01:02:03:04:05:06");
    EXPECT_EQ(record->btName, "Desk");
    EXPECT_EQ(record->btAddress, "06:05:04:03:02:01");
}

TEST(DiscoveryParser, EdgeCases) {
    const std::string seven = rec(1, "a") + rec(2, "b") + rec(3, "c") + rec(9, "x") + rec(5, bytes({0, 80})) +
                              rec(6, "") + rec(7, "n");
    struct Case {
        const char* name;
        std::string datagram;
        bool row;
        std::string btName;
        std::string port;
    };
    const Case cases[] = {
        {"leading bytes before the marker", "junk" + fullReply(), true, "Desk", "9097"},
        {"only the marker", kMarker, false, "", ""},
        {"marker with nothing after it at the end", "xx" + kMarker, false, "", ""},
        {"nine records: the ninth is not read", kMarker + seven + rec(8, "") + rec(7, "late"), true, "n",
         "80"},
        {"seven records and nothing after", kMarker + seven, false, "", ""},
        {"unknown types still count",
         kMarker + rec(9, "") + rec(10, "") + rec(11, "") + rec(12, "") + rec(13, "") + rec(14, "") +
             rec(15, "") + rec(7, "last"),
         true, "last", ""},
        {"a later record of a type replaces the earlier",
         kMarker + rec(7, "first") + rec(7, "second") + rec(0, "") + rec(0, "") + rec(0, "") + rec(0, "") +
             rec(0, "") + rec(0, ""),
         true, "second", ""},
        {"text is cut at a zero byte",
         kMarker + rec(7, std::string("ab\0cd", 5)) + rec(0, "") + rec(0, "") + rec(0, "") + rec(0, "") +
             rec(0, "") + rec(0, "") + rec(0, ""),
         true, "ab", ""},
        {"a value running past the end", kMarker + seven + bytes({7, 10}) + "short", false, "", ""},
        {"a header cut in half", kMarker + seven + bytes({7}), false, "", ""},
        {"no marker", fullReply().substr(4), false, "", ""},
    };
    for (const Case& c : cases) {
        const auto record = parseDiscoveryReply(c.datagram);
        EXPECT_EQ(record.has_value(), c.row) << c.name;
        if (record && c.row) {
            EXPECT_EQ(record->btName, c.btName) << c.name;
            EXPECT_EQ(record->controlPort, c.port) << c.name;
        }
    }
}

TEST(DiscoveryParser, TheFirstMarkerCounts) {
    const std::string empties = rec(0, "") + rec(0, "") + rec(0, "") + rec(0, "") + rec(0, "") + rec(0, "");
    const auto record = parseDiscoveryReply(kMarker + rec(1, kMarker) + rec(7, "one") + empties);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->productName, kMarker);
    EXPECT_EQ(record->btName, "one");
}

TEST(DiscoveryParser, ReadsNoFurtherThanFiveHundredBytes) {
    const std::string padding(495, 'p');
    EXPECT_FALSE(parseDiscoveryReply(padding + fullReply())) << "marker beyond the read limit";
    const std::string longName(200, 'n');
    const std::string tail = rec(7, longName) + rec(1, longName) + rec(0, "") + rec(0, "") + rec(0, "") +
                             rec(0, "") + rec(0, "") + rec(0, "");
    ASSERT_LT(kMarker.size() + tail.size(), 500u);
    EXPECT_TRUE(parseDiscoveryReply(kMarker + tail));
    EXPECT_FALSE(parseDiscoveryReply(std::string(100, 'p') + kMarker + tail))
        << "records cut by the read limit";
}

TEST(DiscoveryParser, ShortBinaryValuesReadAsZero) {
    const auto record =
        parseDiscoveryReply(kMarker + rec(4, bytes({10})) + rec(5, bytes({1})) + rec(6, "") +
                            rec(8, bytes({0xAB})) + rec(0, "") + rec(0, "") + rec(0, "") + rec(0, ""));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ipAddress, "10.0.0.0");
    EXPECT_EQ(record->controlPort, "256");
    EXPECT_EQ(record->macAddress, "00:00:00:00:00:00");
    EXPECT_EQ(record->btAddress, "00:00:00:00:00:AB");
}
