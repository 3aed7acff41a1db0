#include "core/neighbour_list.h"

#include <gtest/gtest.h>

using namespace kvx;

TEST(NeighbourList, PeriodicInquiryState) {
    struct Case {
        const char* reply;
        bool running;
        const char* interval;
        const char* length;
        const char* accessCode;
        bool general;
    };
    const Case cases[] = {
        {"+OK On 10 5 0x9E8B33\r\n", true, "10", "5", "0x9E8B33", true},
        {"+OK Off 20 4 0x9E8B33\r\n", false, "20", "4", "0x9E8B33", true},
        {"+OK On 10 5 0x9E8B00\r\n", true, "10", "5", "0x9E8B00", false},
        {"+OK On 10 5 0x9e8b33\r\n", true, "10", "5", "0x9e8b33", false},
        {"+OK on 10 5 0x9E8B33\r\n", false, "10", "5", "0x9E8B33", true},
        {"+OK On 10 5 0x9E8B33\n\r\r\n", true, "10", "5", "0x9E8B33", true},
        {"+OK On 10 5 0x9E8B33 \r\n", true, "10", "5", "0x9E8B33 ", false},
        {"+OK On 10 5 0x9E8B33", true, "10", "5", "0x9E8B33", true},
        {"+OK On 10\r\n", true, "10\r\n", "", "", false},
        {"+OK On", true, "", "", "", false},
        {"+OK", false, "", "", "", false},
    };
    for (const Case& c : cases) {
        const std::optional<PeriodicInquiryState> state = parsePeriodicInquiryState(c.reply);
        ASSERT_TRUE(state) << c.reply;
        EXPECT_EQ(state->running, c.running) << c.reply;
        EXPECT_EQ(state->interval, c.interval) << c.reply;
        EXPECT_EQ(state->length, c.length) << c.reply;
        EXPECT_EQ(state->accessCode, c.accessCode) << c.reply;
        EXPECT_EQ(state->general(), c.general) << c.reply;
    }
    for (const char* refused : {"", "-ERR\r\n", "OK On 10 5 0x9E8B33\r\n"})
        EXPECT_FALSE(parsePeriodicInquiryState(refused)) << refused;
}

TEST(NeighbourList, NeighboursAtFixedPositions) {
    struct Row {
        const char* address;
        const char* classOfDevice;
        const char* name;
    };
    struct Case {
        const char* name;
        std::string reply;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"only +OK", "+OK\r\n", {}},
        {"names with blanks",
         "00:11:22:33:44:55 0x5A020C My Phone  X\r\nAA:BB:CC:DD:EE:FF 0x240404 Head Set\r\n+OK\r\n",
         {{"00:11:22:33:44:55", "0x5A020C", "My Phone  X"}, {"AA:BB:CC:DD:EE:FF", "0x240404", "Head Set"}}},
        {"shorter than 27", "00:11:22:33:44:55 0x5A020C\r\n+OK\r\n", {{"00:11:22:33:44:55", "0x5A020C", ""}}},
        {"exactly 27", "00:11:22:33:44:55 0x5A020C \r\n+OK\r\n", {{"00:11:22:33:44:55", "0x5A020C", ""}}},
        {"shorter than 18", "00:11:22:33:44:55\r\n+OK\r\n", {{"00:11:22:33:44:55", "", ""}}},
        {"exactly 18", "00:11:22:33:44:55 \r\n+OK\r\n", {{"00:11:22:33:44:55", "", ""}}},
        {"inside the CoD", "00:11:22:33:44:55 0x5A\r\n+OK\r\n", {{"00:11:22:33:44:55", "0x5A", ""}}},
        {"a short address", "00:11\r\n+OK\r\n", {{"00:11", "", ""}}},
        {"an empty line ends the list", "A\r\n\r\nB\r\n+OK\r\n", {{"A", "", ""}}},
        {"+OK inside a line ends it", "A\r\nB +OK\r\nC\r\n", {{"A", "", ""}}},
        {"a lone LF ending eats a character", "A\nXB\r\n+OK\r\n", {{"A", "", ""}, {"B", "", ""}}},
        {"the last line without an ending", "A\r\nB+OK", {{"A", "", ""}}},
        {"+OK at the very end", "A\r\n+OK", {{"A", "", ""}}},
    };
    for (const Case& c : cases) {
        const std::optional<std::vector<Neighbour>> neighbours = parseNeighbourList(c.reply);
        ASSERT_TRUE(neighbours) << c.name;
        ASSERT_EQ(neighbours->size(), c.rows.size()) << c.name;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ((*neighbours)[i].address, c.rows[i].address) << c.name;
            EXPECT_EQ((*neighbours)[i].classOfDevice, c.rows[i].classOfDevice) << c.name;
            EXPECT_EQ((*neighbours)[i].name, c.rows[i].name) << c.name;
        }
    }
    for (const char* refused : {"", "-ERR\r\n", "00:11:22:33:44:55 0x5A020C Phone\r\n"})
        EXPECT_FALSE(parseNeighbourList(refused)) << refused;
}
