// The simulated device's route commands, and the routing windows against them over loopback.
#include "controls/masked_edit.h"
#include "core/device_session.h"
#include "link_session.h"
#include "mode_window_driver.h"
#include "recording_prompter.h"
#include "routing/route_setting_window.h"
#include "routing/routing_table_window.h"

#include <QCheckBox>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

const std::string A1 = "00:1B:DC:0F:A1:01";
const std::string A2 = "00:1B:DC:0F:A1:02";
const std::string A3 = "00:1B:DC:0F:A1:03";
const std::string A4 = "00:1B:DC:0F:A1:04";
const std::string A5 = "00:1B:DC:0F:A1:05";

// The windows' way to the device: a logged-in link to a fresh simulated device.
} // namespace

TEST(SimulatedRouting, RouteCommandsChangeTheTable) {
    LoggedInLink s;
    EXPECT_EQ(s.ask("route"), A1 + " > " + A2 + "\r\n" + A1 + " > " + A3 + "\r\n" + A2 + " > " + A1 + "\r\n" +
                                  A4 + " > " + A5 + "\r\n+OK\r\n");
    struct Case {
        std::string command;
        const char* reply;
    };
    const Case cases[] = {
        {"route ptp", "+OK\r\n"},
        {"route manual", "+OK\r\n"},
        {"route multi", "+OK\r\n"},
        {"route add " + A1 + " " + A2 + " " + A3, "+OK\r\n"},
        {"route add " + A1 + " " + A2, "+OK\r\n"},
        {"route add " + A1, "-ERR Invalid value\r\n"},
        {"route add " + A2 + " 12:3_:__:__:__:__", "-ERR Invalid value\r\n"},
        {"route sideways", "-ERR Invalid value\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.ask(c.command), c.reply) << c.command;
    EXPECT_EQ(s.ask("route"), A1 + " > " + A2 + "\r\n" + A1 + " > " + A3 + "\r\n+OK\r\n");
}

TEST(SimulatedRouting, WhatApplySendsIsWhatTheNextOpeningShows) {
    LinkSession session;
    RecordingPrompter prompter;
    {
        RoutingTableWindow window(session, prompter);
        QTreeWidget* list = child<QTreeWidget>(window, "routeList");
        EXPECT_EQ(rowsOf(list), (Rows{{A1, "<->", A2}, {"", "-->", A3}, {A4, "-->", A5}}));
        const int result = runOpened(window, [&] {
            clickRow(list, 0);
            const auto edited = whenOpened<RouteSettingWindow>(window, [&](RouteSettingWindow& w) {
                child<QCheckBox>(w, "twoWayCheck1")->setChecked(false);
                child<MaskedEdit>(w, "toEdit3")->setText(QString::fromStdString(A5));
                child<QCheckBox>(w, "twoWayCheck3")->setChecked(true);
                click(w, "okButton");
            });
            click(window, "editButton");
            EXPECT_TRUE(*edited);
            click(window, "applyButton");
        });
        EXPECT_EQ(result, QDialog::Accepted);
    }
    EXPECT_EQ(session.ask("route"), A4 + " > " + A5 + "\r\n" + A1 + " > " + A2 + "\r\n" + A1 + " > " + A3 +
                                        "\r\n" + A1 + " > " + A5 + "\r\n" + A5 + " > " + A1 + "\r\n+OK\r\n");
    RoutingTableWindow reopened(session, prompter);
    EXPECT_EQ(rowsOf(child<QTreeWidget>(reopened, "routeList")),
              (Rows{{A4, "-->", A5}, {A1, "-->", A2}, {"", "-->", A3}, {"", "<->", A5}}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}
