#include "controls/masked_edit.h"
#include "mode_window_driver.h"
#include "pages/device_picker.h"
#include "recording_prompter.h"
#include "routing/route_setting_window.h"
#include "routing/routing_table_window.h"
#include "scripted_session.h"
#include "ui/window_load.h"

#include <QCheckBox>

using namespace kvx;
using namespace kvx::test;

namespace {

const std::string X = "00:1B:DC:0F:B1:01";
const std::string Y = "00:1B:DC:0F:B1:02";
const std::string Z = "00:1B:DC:0F:B1:03";
const std::string W = "00:1B:DC:0F:B1:04";
const QString kEmptyAddress = QStringLiteral("__:__:__:__:__:__");

std::string routeReply(const std::vector<std::pair<std::string, std::string>>& routes) {
    std::string text;
    for (const auto& [from, to] : routes)
        text += from + " > " + to + "\r\n";
    return text + "+OK\r\n";
}

const std::string kPairAndOne = routeReply({{X, Y}, {X, Z}, {Y, X}});
const Rows kPairAndOneRows = {{X, "<->", Y}, {"", "-->", Z}};

// Records the icon of the question too.
struct IconPrompter : RecordingPrompter {
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override {
        icons.push_back(icon);
        return RecordingPrompter::askYesNo(caption, text, icon);
    }
    std::vector<Icon> icons;
};

struct Fixture {
    explicit Fixture(const std::string& first = kPairAndOne, const std::string& second = "") {
        session.expect("route\r\n", 3, first);
        session.expect("route\r\n", 3, second.empty() ? first : second);
        window = std::make_unique<RoutingTableWindow>(session, prompter);
    }
    QTreeWidget* list() const { return child<QTreeWidget>(*window, "routeList"); }
    Rows rows() const { return rowsOf(list()); }
    bool canEditOrDelete() const {
        return child<QWidget>(*window, "editButton")->isEnabled() &&
               child<QWidget>(*window, "delButton")->isEnabled();
    }

    ScriptedSession session;
    IconPrompter prompter;
    std::unique_ptr<RoutingTableWindow> window;
};

MaskedEdit* field(const QObject& w, const QString& name) {
    return child<MaskedEdit>(w, name.toLatin1().constData());
}
QCheckBox* box(const QObject& w, int row) {
    return child<QCheckBox>(w, ("twoWayCheck" + std::to_string(row)).c_str());
}

} // namespace

TEST(RoutingTableWindow, LoadReadsTheRoutesTwiceAndGroupsThem) {
    struct Case {
        const char* name;
        std::string first;
        std::string second;
        Rows rows;
    };
    const Case cases[] = {
        {"opposite routes share a row", kPairAndOne, kPairAndOne, kPairAndOneRows},
        {"only +OK", "+OK\r\n", "+OK\r\n", {}},
        {"first reading silent", "", kPairAndOne, {}},
        {"second reading silent", kPairAndOne, "", {}},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("route\r\n", 3, c.first);
        session.expect("route\r\n", 3, c.second);
        RoutingTableWindow window(session, prompter);
        EXPECT_TRUE(session.done()) << c.name;
        EXPECT_EQ(rowsOf(child<QTreeWidget>(window, "routeList")), c.rows) << c.name;
        EXPECT_TRUE(prompter.messages.isEmpty()) << c.name;
    }
}

TEST(RoutingTableWindow, ListLooksAndEditAndDelWaitForARow) {
    Fixture f;
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Serial Hub Mode"));
    const QTreeWidget* list = f.list();
    ASSERT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("From"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("To"));
    EXPECT_EQ(list->columnWidth(1), 45);
    runOpened(*f.window, [&] {
        EXPECT_FALSE(f.canEditOrDelete());
        clickRow(f.list(), 1);
        EXPECT_TRUE(f.canEditOrDelete());
    });
}

TEST(RoutingTableWindow, DelOnAHeadAndEditOnAContinuationRow) {
    Fixture f(routeReply({{X, Y}, {X, Z}, {X, W}, {Y, Z}}));
    runOpened(*f.window, [&] {
        clickRow(f.list(), 1);
        const auto opened = whenOpened<RouteSettingWindow>(*f.window, [](RouteSettingWindow&) {});
        click(*f.window, "editButton");
        EXPECT_FALSE(*opened);

        clickRow(f.list(), 0);
        click(*f.window, "delButton");
        EXPECT_EQ(f.rows(), (Rows{{X, "-->", Z}, {"", "-->", W}, {Y, "-->", Z}}));
        // The new head is selected, so Del goes on with it.
        click(*f.window, "delButton");
        EXPECT_EQ(f.rows(), (Rows{{X, "-->", W}, {Y, "-->", Z}}));
    });
    EXPECT_TRUE(f.session.done());
}

TEST(RoutingTableWindow, AddAndEditPutTheGroupAtTheEnd) {
    const std::string routes = routeReply({{X, Y}, {X, Z}, {Y, X}, {W, Z}});
    struct Case {
        const char* name;
        const char* button;
        int row;
        std::function<void(RouteSettingWindow&)> act;
        Rows rows;
    };
    const Case cases[] = {
        {"edit shows the group and takes the change",
         "editButton",
         0,
         [](RouteSettingWindow& w) {
             EXPECT_EQ(field(w, QStringLiteral("fromEdit"))->text().toStdString(), X);
             EXPECT_EQ(field(w, QStringLiteral("toEdit2"))->text().toStdString(), Z);
             EXPECT_EQ(field(w, QStringLiteral("toEdit3"))->text(), kEmptyAddress);
             EXPECT_TRUE(box(w, 1)->isChecked());
             EXPECT_FALSE(box(w, 2)->isChecked());
             box(w, 1)->setChecked(false);
             click(w, "okButton");
         },
         {{W, "-->", Z}, {X, "-->", Y}, {"", "-->", Z}}},
        {"edit cancelled",
         "editButton",
         0,
         [](RouteSettingWindow&) {},
         {{X, "<->", Y}, {"", "-->", Z}, {W, "-->", Z}}},
        {"add",
         "addButton",
         -1,
         [](RouteSettingWindow& w) {
             field(w, QStringLiteral("fromEdit"))->setText(QString::fromStdString(Z));
             field(w, QStringLiteral("toEdit1"))->setText(QString::fromStdString(W));
             box(w, 1)->setChecked(true);
             click(w, "okButton");
         },
         {{X, "<->", Y}, {"", "-->", Z}, {W, "-->", Z}, {Z, "<->", W}}},
        {"add without To adds no row",
         "addButton",
         -1,
         [](RouteSettingWindow& w) {
             field(w, QStringLiteral("fromEdit"))->setText(QString::fromStdString(Z));
             click(w, "okButton");
         },
         {{X, "<->", Y}, {"", "-->", Z}, {W, "-->", Z}}},
    };
    for (const Case& c : cases) {
        Fixture f(routes);
        runOpened(*f.window, [&] {
            if (c.row >= 0)
                clickRow(f.list(), c.row);
            const auto played = whenOpened<RouteSettingWindow>(*f.window, c.act);
            click(*f.window, c.button);
            EXPECT_TRUE(*played) << c.name;
        });
        EXPECT_EQ(f.rows(), c.rows) << c.name;
    }
}

TEST(RoutingTableWindow, EditRefusesAGroupLargerThanTheEditor) {
    std::vector<std::pair<std::string, std::string>> routes;
    for (int k = 0; k < 15; ++k)
        routes.emplace_back(X, "00:1B:DC:0F:C1:" + std::to_string(10 + k));
    Fixture f(routeReply(routes));
    runOpened(*f.window, [&] {
        clickRow(f.list(), 0);
        const auto opened = whenOpened<RouteSettingWindow>(*f.window, [](RouteSettingWindow&) {});
        click(*f.window, "editButton");
        EXPECT_FALSE(*opened);
    });
    EXPECT_EQ(
        f.prompter.messages,
        QStringList{QStringLiteral("This group has more than 14 To addresses and cannot be edited here.")});
    EXPECT_EQ(f.rows().size(), 15u);
}

TEST(RoutingTableWindow, ApplyRebuildsTheDeviceTableAndCloses) {
    Fixture f;
    f.session.expect("route ptp\r\n", 3, "+OK\r\n");
    f.session.expect("route manual\r\n", 3, "+OK\r\n");
    f.session.expect("route add " + X + " " + Y + " " + Z + "\r\n", 10, "+OK\r\n");
    f.session.expect("route add " + Y + " " + X + "\r\n", 10, "-ERR\r\n");
    EXPECT_EQ(runOpened(*f.window, [&] { click(*f.window, "applyButton"); }), QDialog::Accepted);
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
}

// Apply replaces the device's table with the list: a list the device never filled would drop its routes.
TEST(RoutingTableWindow, ApplyAfterAnUnreadTableSendsNothing) {
    for (bool afterClear : {false, true}) {
        Fixture f(afterClear ? kPairAndOne : "");
        runOpened(*f.window, [&] {
            if (afterClear) {
                f.prompter.yesNoAnswers = {true};
                for (const char* command : {"route ptp\r\n", "route manual\r\n"})
                    f.session.expect(command, 3, "+OK\r\n");
                f.session.expect("route\r\n", 3, "");
                f.session.expect("route\r\n", 3, "");
                click(*f.window, "clearButton");
            }
            click(*f.window, "applyButton");
            EXPECT_TRUE(f.window->isVisible()) << afterClear;
        });
        EXPECT_TRUE(f.session.done()) << afterClear;
        EXPECT_EQ(f.prompter.messages, QStringList{unreadValuesText()}) << afterClear;
    }
}

TEST(RoutingTableWindow, ClearAsksThenResetsAndReads) {
    struct Case {
        const char* name;
        bool yes;
        std::string reread;
        Rows rows;
    };
    const Case cases[] = {
        {"no", false, "", kPairAndOneRows},
        {"yes", true, "+OK\r\n", {}},
        {"yes but the reading is silent", true, "", kPairAndOneRows},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.prompter.yesNoAnswers = {c.yes};
        if (c.yes) {
            f.session.expect("route ptp\r\n", 3, "+OK\r\n");
            f.session.expect("route manual\r\n", 3, "+OK\r\n");
            f.session.expect("route\r\n", 3, c.reread);
            f.session.expect("route\r\n", 3, c.reread);
        }
        runOpened(*f.window, [&] { click(*f.window, "clearButton"); });
        EXPECT_EQ(f.prompter.questions, QStringList{QStringLiteral("Zizov: Clear all?")}) << c.name;
        EXPECT_EQ(f.prompter.icons, std::vector{Prompter::Icon::Warning}) << c.name;
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.rows(), c.rows) << c.name;
    }
}

TEST(RouteSettingWindow, OpensWithTheGroupInTheFirstRows) {
    ScriptedSession session;
    RecordingPrompter prompter;
    RouteSettingWindow w(session, prompter, {X, {{Y, true}, {Z, false}, {W, true}}});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Route Setting"));
    const std::string shown[] = {Y, Z, W};
    for (int row = 1; row <= RouteSettingWindow::kToCount; ++row) {
        const QString text = field(w, QStringLiteral("toEdit%1").arg(row))->text();
        EXPECT_EQ(text, row <= 3 ? QString::fromStdString(shown[row - 1]) : kEmptyAddress) << row;
        EXPECT_EQ(box(w, row)->isChecked(), row == 1 || row == 3) << row;
    }
}

TEST(RouteSettingWindow, OkNeedsACompleteFromAndReturnsTheFilledRows) {
    ScriptedSession session;
    RecordingPrompter prompter;
    RouteSettingWindow w(session, prompter, {});
    const int result = runOpened(w, [&] {
        MaskedEdit* from = field(w, QStringLiteral("fromEdit"));
        from->setFocus();
        QTest::keyClicks(from, QStringLiteral("001BDC0FB10"));
        QTest::keyClicks(field(w, QStringLiteral("toEdit2")), QStringLiteral("001BDC0FB102"));
        QTest::keyClicks(field(w, QStringLiteral("toEdit5")), QStringLiteral("123"));
        box(w, 2)->setChecked(true);
        box(w, 5)->setChecked(true);
        click(w, "okButton");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Fill the Bdaddr completely.")});
        box(w, 2)->setChecked(false);
        QTest::keyClicks(from, QStringLiteral("1"));
        click(w, "okButton");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(w.route(), (RouteGroup{X, {{Y, false}, {"12:3_:__:__:__:__", true}}}));
}

TEST(RouteSettingWindow, DotsButtonsTakeThePickedAddress) {
    ScriptedSession session;
    RecordingPrompter prompter;
    RouteSettingWindow w(session, prompter, {X, {{Y, false}}});
    const std::string list = "1|0|1|" + W + "|Scale|0|0|230|0\r\n+OK\r\n";
    session.expect("List\r\n", 10, list);
    session.expect("List\r\n", 10, list);
    runOpened(w, [&] {
        auto picked = whenOpened<DevicePicker>(w, [](DevicePicker& p) {
            clickRow(child<QTreeWidget>(p, "addressList"), 0);
            click(p, "applyButton");
        });
        click(w, "toPickButton1");
        EXPECT_TRUE(*picked);
        // The close box leaves the field as it was.
        picked = whenOpened<DevicePicker>(w, [](DevicePicker&) {});
        click(w, "fromPickButton");
        EXPECT_TRUE(*picked);
    });
    EXPECT_EQ(field(w, QStringLiteral("toEdit1"))->text().toStdString(), W);
    EXPECT_EQ(field(w, QStringLiteral("fromEdit"))->text().toStdString(), X);
    EXPECT_TRUE(session.done());
}
