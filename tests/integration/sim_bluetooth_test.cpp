// The simulated device's Bluetooth settings, connections and inquiry, as the manager's pages cut them.
#include "logged_in_link.h"

#include <gtest/gtest.h>
#include <thread>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

sim::DeviceOptions withLinks() {
    sim::DeviceOptions options;
    options.btName = "Trainer";
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 230, 0, "1", 10, 20},
                     {"00:1B:DC:0F:A1:02", "Printer two", 205, -9, "2", 30, 40}};
    options.neighbours = {{"00:1B:DC:0F:A1:04", "0x5A020C", "Phone with blanks"},
                          {"00:1B:DC:0F:A1:05", "0x1F00FF", "Scale"}};
    return options;
}

} // namespace

TEST(SimulatedBluetooth, QueriesPutTheirValuesWhereThePageCutsThem) {
    LoggedInLink s(withLinks());
    const auto value = [&](const std::string& command, std::size_t from, std::size_t dropTail = 0) {
        const std::string reply = s.ask(command);
        EXPECT_EQ(reply.substr(0, 3), "+OK") << command;
        const std::string normalised(normalisedReply(reply));
        return normalised.substr(from, normalised.size() - from - dropTail);
    };
    EXPECT_EQ(value("BTName", 4), "Trainer");
    EXPECT_EQ(value("Maxdt", 8), "7");
    EXPECT_EQ(value("Linkto", 17, 4), "20");
    EXPECT_EQ(value("Scan", 4), "inquiry page");
    EXPECT_EQ(value("Secu", 4), "low");
    EXPECT_EQ(value("Pair", 4), "on");
}

TEST(SimulatedBluetooth, SetsAreCheckedAndReadBack) {
    LoggedInLink s;
    struct Case {
        const char* set;
        const char* reply;
        const char* query;
        const char* readBack;
    };
    const Case cases[] = {
        {"BTName Desk 4", "+OK\r\n", "BTName", "+OK Desk 4\r\n"},
        {"Maxdt 14", "+OK\r\n", "Maxdt", "+OK max 14\r\n"},
        {"Maxdt 15", "-ERR Invalid value\r\n", "Maxdt", "+OK max 14\r\n"},
        {"Linkto 0", "-ERR Invalid value\r\n", "Linkto", "+OK Link timeout 20 sec\r\n"},
        {"Linkto 30", "+OK\r\n", "Linkto", "+OK Link timeout 30 sec\r\n"},
        {"Scan Inquiry", "+OK\r\n", "Scan", "+OK inquiry \r\n"},
        {"Scan Page", "+OK\r\n", "Scan", "+OK  page\r\n"},
        {"Scan noscan", "+OK\r\n", "Scan", "+OK noscan\r\n"},
        {"Scan sideways", "-ERR Invalid value\r\n", "Scan", "+OK noscan\r\n"},
        {"Secu high", "+OK\r\n", "Secu", "+OK high\r\n"},
        {"Secu medium", "-ERR Invalid value\r\n", "Secu", "+OK high\r\n"},
        {"Pair off", "+OK\r\n", "Pair", "+OK off\r\n"},
        {"Pin 12345678901234567", "-ERR Invalid value\r\n", "Pair", "+OK off\r\n"},
        {"Pin 1234", "+OK\r\n", "Pair", "+OK off\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s.ask(c.set), c.reply) << c.set;
        EXPECT_EQ(s.ask(c.query), c.readBack) << c.set;
    }
}

TEST(SimulatedBluetooth, ListsLinksAndDropsOne) {
    LoggedInLink s(withLinks());
    EXPECT_EQ(s.ask("List"), "1|0|1|00:1B:DC:0F:A1:01|Scanner|10|20|230|0\r\n"
                             "2|0|2|00:1B:DC:0F:A1:02|Printer two|30|40|205|-9\r\n+OK\r\n");
    EXPECT_EQ(s.ask("disc 1"), "+OK\r\n");
    EXPECT_EQ(s.ask("disc 1"), "-ERR No such connection\r\n");
    EXPECT_EQ(s.ask("disc"), "-ERR No such connection\r\n");
    ASSERT_EQ(s.device->links().size(), 1u);
    EXPECT_EQ(s.device->links()[0].name, "Printer two");
    const std::string stat = s.ask("Stat");
    EXPECT_EQ(stat.rfind("0|00:11:22:33:44:55|", 0), 0u) << stat;
    EXPECT_EQ(stat.substr(stat.size() - 5), "+OK\r\n");
}

TEST(SimulatedBluetooth, ChurnMovesCountersWithinQualityBounds) {
    sim::DeviceOptions options = withLinks();
    options.linkChurn = true;
    LoggedInLink s(options);
    const std::string before = s.ask("List");
    std::this_thread::sleep_for(300ms);
    const std::string after = s.ask("List");
    EXPECT_NE(before, after);
    for (const sim::LinkInfo& link : s.device->links()) {
        EXPECT_GE(link.quality, 150);
        EXPECT_LE(link.quality, 255);
        EXPECT_GT(link.tx, 10u);
    }
}

TEST(SimulatedBluetooth, PeriodicInquiryFindsNeighboursOneAfterAnother) {
    LoggedInLink s(withLinks());
    EXPECT_EQ(s.ask("pinq"), "+OK Off 10 5 0x9E8B33\r\n");
    EXPECT_EQ(s.ask("pinq on 30 10 0x9E8B00"), "+OK\r\n");
    EXPECT_EQ(s.ask("pinq"), "+OK On 30 10 0x9E8B00\r\n");
    EXPECT_EQ(s.ask("ngbrh"), "00:1B:DC:0F:A1:04 0x5A020C Phone with blanks\r\n+OK\r\n");
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(s.ask("ngbrh"), "00:1B:DC:0F:A1:04 0x5A020C Phone with blanks\r\n"
                              "00:1B:DC:0F:A1:05 0x1F00FF Scale\r\n+OK\r\n");
    EXPECT_EQ(s.ask("pinq off"), "+OK\r\n");
    EXPECT_EQ(s.ask("pinq"), "+OK Off 30 10 0x9E8B00\r\n");
    for (const char* bad : {"pinq on 30 10", "pinq on x 10 0x9E8B33", "pinq on 30 10 0x123456", "pinq maybe"})
        EXPECT_EQ(s.ask(bad), "-ERR Invalid value\r\n") << bad;
}

TEST(SimulatedBluetooth, SettingsCommandsNeedALogin) {
    auto device = startDevice();
    DeviceLink link;
    RecordingTranscript transcript;
    ASSERT_TRUE(link.create());
    ASSERT_TRUE(link.connectTo("127.0.0.1", device->controlPort()));
    link.receiveOnce(100);
    EXPECT_EQ(link.transact("BTName\r\n", 2, transcript), "-ERR Login required\r\n");
}
