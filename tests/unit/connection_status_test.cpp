#include "core/connection_status.h"

#include <climits>
#include <gtest/gtest.h>

using namespace kvx;
using Columns = std::array<std::string, 7>;

TEST(ConnectionStatus, NumbersReadLikeTheDeviceTools) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"220", 220},
        {" \t-9", -9},
        {"+5", 5},
        {"214 dBm", 214},
        {"x12", 0},
        {"", 0},
        {"-", 0},
        {"- 3", 0},
        {"0x1F", 0},
        {"007", 7},
        {"\r\n12", 12},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(leadingInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ConnectionStatus, IndicatorAtTheQualityAndSignalBounds) {
    struct Case {
        int quality;
        int signal;
        LinkIndicator indicator;
    };
    const Case cases[] = {
        {220, 0, LinkIndicator::Green},  {215, 0, LinkIndicator::Green},  {214, 0, LinkIndicator::Yellow},
        {210, 0, LinkIndicator::Yellow}, {201, 0, LinkIndicator::Yellow}, {200, 0, LinkIndicator::Red},
        {220, -8, LinkIndicator::Green}, {220, -9, LinkIndicator::Red},   {210, -9, LinkIndicator::Red},
        {0, 0, LinkIndicator::Red},      {255, 40, LinkIndicator::Green},
    };
    for (const Case& c : cases)
        EXPECT_EQ(linkIndicatorFor(c.quality, c.signal), c.indicator) << c.quality << ' ' << c.signal;
}

TEST(ConnectionStatus, FirmwareGate) {
    struct Case {
        const char* verReply;
        bool shows;
    };
    const Case cases[] = {
        {"+OK Ver 2.1\r\n", true},   {"+OK Ver 1.5\r\n", false},  {"+OK Ver 1.0.2\r\n", true},
        {"+OK Ver 2.0\r\n", false},  {"+OK Ver 2.1.0\r\n", true}, {"+OK Ver 3.0\r\n", true},
        {"+OK Ver 2.1", true},       {"+OK Ver x.1.2\r\n", true}, {"+OK Ver 9\r\n", false},
        {"+OK Ver  2.1\r\n", false}, {"-ERR\r\n", false},         {"", false},
        {"+OK Ver 2.x\r\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firmwareShowsIndicator(c.verReply), c.shows) << c.verReply;
}

TEST(ConnectionStatus, RowsOfTheListReply) {
    struct Case {
        const char* name;
        const char* reply;
        std::vector<Columns> rows;
        std::vector<LinkIndicator> indicators;
        std::vector<std::array<int, 2>> levels; // quality and signal, whatever the gate
        bool imperfect;
    };
    const Columns phone = {"1", "0", "1", "00:11:22:33:44:55", "My Phone", "100", "200"};
    const Columns headset = {"3", "1", "2", "AA:BB:CC:DD:EE:FF", "Head", "7", "8"};
    const Case cases[] = {
        {"only +OK", "+OK\r\n", {}, {}, {}, false},
        {"two rows",
         "1|0|1|00:11:22:33:44:55|My Phone|100|200|220|0\r\n3|1|2|AA:BB:CC:DD:EE:FF|Head|7|8| "
         "214|-8\r\n+OK\r\n",
         {phone, headset},
         {LinkIndicator::Green, LinkIndicator::Yellow},
         {{{220, 0}}, {{214, -8}}},
         false},
        {"no closing +OK",
         "1|0|1|00:11:22:33:44:55|My Phone|100|200|220|-9\r\n",
         {phone},
         {LinkIndicator::Red},
         {{{220, -9}}},
         false},
        {"last line without CR LF",
         "1|0|1|00:11:22:33:44:55|My Phone|100|200|220|0\r\n3|1|2|AA",
         {phone},
         {LinkIndicator::Green},
         {{{220, 0}}},
         true},
        {"no CR LF at all", "1|0|1|00:11:22:33:44:55|My Phone|100|200|220|0", {}, {}, {}, true},
        {"seven fields",
         "3|1|2|AA:BB:CC:DD:EE:FF|Head|7|230\r\n+OK\r\n",
         {{"3", "1", "2", "AA:BB:CC:DD:EE:FF", "Head", "7", ""}},
         {LinkIndicator::Red},
         {{{0, 230}}},
         false},
        {"no bar",
         "lost\r\n+OK\r\n",
         {{"", "", "", "", "", "", ""}},
         {LinkIndicator::Red},
         {{{0, 0}}},
         false},
        {"more than nine",
         "1|0|1|00:11:22:33:44:55|My Phone|100|200|220|3|x\r\n+OK\r\n",
         {phone},
         {LinkIndicator::Green},
         {{{220, 3}}},
         false},
        {"lines after +OK", "+OK\r\n1|0|1|a|b|c|d|220|0\r\n", {}, {}, {}, false},
    };
    for (const Case& c : cases) {
        for (bool gate : {true, false}) {
            const ConnectionStatus status = parseConnectionStatus(c.reply, gate);
            EXPECT_EQ(status.imperfect, c.imperfect) << c.name;
            ASSERT_EQ(status.rows.size(), c.rows.size()) << c.name;
            for (std::size_t i = 0; i < c.rows.size(); ++i) {
                EXPECT_EQ(status.rows[i].columns, c.rows[i]) << c.name << " row " << i;
                EXPECT_EQ(status.rows[i].indicator, gate ? c.indicators[i] : LinkIndicator::None)
                    << c.name << " row " << i << " gate " << gate;
                EXPECT_EQ((std::array{status.rows[i].quality, status.rows[i].signal}), c.levels[i])
                    << c.name << " row " << i << " gate " << gate;
            }
        }
    }
}
