#include "core/query.h"
#include "pages/bluetooth_page.h"
#include "pages/neighborhoods_page.h"
#include "recording_prompter.h"
#include "scripted_session.h"
#include "ui/window_load.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const Steps kLoadQueries = {
    {"BTName\r\n", 10, "+OK Desk\r\n"},
    {"Maxdt\r\n", 0, "+OK Max 7\r\n"},
    {"Linkto\r\n", 0, "+OK LinkTimeout: 20 sec\r\n"},
    {"Scan\r\n", 0, "+OK inquiry \r\n"},
    {"Secu\r\n", 0, "+OK high\r\n"},
    {"Pair\r\n", 0, "+OK on\r\n"},
};
const char* const kRow = "1|00 : 1a : 2b : 3c : 4d : 5e|10|20|0|0\r\n";

struct Fixture {
    Fixture()
        : page(session, prompter) {}

    template <typename W = QLineEdit> W* find(const char* name) const {
        W* w = page.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) const { return find(name)->text(); }
    bool checked(const char* name) const { return find<QCheckBox>(name)->isChecked(); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        find(name)->clear();
        QTest::keyClicks(find(name), text);
    }
    void script(const Steps& steps) {
        for (const Step& s : steps)
            session.expect(s.command, s.wait, s.reply);
    }
    void loadWith(const std::string& stat) {
        script(kLoadQueries);
        session.expect("Stat\r\n", 10, stat);
        page.load();
    }
    Rows rows() const {
        Rows result;
        const auto* list = find<QTreeWidget>("localDevicesList");
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < list->columnCount(); ++c)
                row.push_back(list->topLevelItem(r)->text(c).toStdString());
            result.push_back(row);
        }
        return result;
    }

    ScriptedSession session;
    RecordingPrompter prompter;
    BluetoothPage page;
};

// The Apply commands for the fields a successful load leaves, with a PIN.
Steps applySteps() {
    return {{"BTName Desk\r\n", 10, "+OK\r\n"}, {"Maxdt 7\r\n", 0, "+OK\r\n"},
            {"Linkto 20\r\n", 0, "+OK\r\n"},    {"Secu high\r\n", 0, "+OK\r\n"},
            {"Pin 1234\r\n", 0, "+OK\r\n"},     {"Pair on\r\n", 0, "+OK\r\n"},
            {"Scan Inquiry\r\n", 0, "+OK\r\n"}};
}

} // namespace

TEST(BluetoothPage, LoadFillsEveryFieldAndThenTheMaxDtArrows) {
    Fixture f;
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("30"));
    EXPECT_FALSE(f.find<QToolButton>("maxDtUp")->isEnabled());
    f.loadWith(std::string(kRow) + "+OK\r\n");
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_EQ(f.text("nameEdit"), QStringLiteral("Desk"));
    EXPECT_EQ(f.text("maxDtEdit"), QStringLiteral("7"));
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("20"));
    EXPECT_TRUE(f.checked("discoverableCheck"));
    EXPECT_FALSE(f.checked("connectableCheck"));
    EXPECT_EQ(f.find<QComboBox>("securityCombo")->currentIndex(), 1);
    EXPECT_TRUE(f.checked("pairableCheck"));
    EXPECT_EQ(f.rows(), (Rows{{"1", "00 : 1a : 2b : 3c : 4d : 5e", "10", "20", "0", "0"}}));
    EXPECT_TRUE(f.find<QToolButton>("maxDtUp")->isEnabled());
}

TEST(BluetoothPage, LoadAndRefreshStopAtTheFirstFailingQuery) {
    const char* const timeouts[] = {
        "Get Bluetooth Information is timeout. Check Lumeno-KVX and Try again.",
        "Get Maxdt is timeout. Check Lumeno-KVX and Try again.",
        "Get LinkTimeout is timeout. Check Lumeno-KVX and Try again.",
        "Get Scan is timeout. Check Lumeno-KVX and Try again.",
        "Get Security is timeout. Check Lumeno-KVX and Try again.",
        "Get Pairable is timeout. Check Lumeno-KVX and Try again.",
    };
    const char* const failures[] = {
        "Get BTName is Failed. Try again.",      "Get Maxdt is Failed. Try again.",
        "Get LinkTimeout is Failed. Try again.", "Get Scan is Failed. Try again.",
        "Get Security is Failed. Try again.",    "Get Pairable is Failed. Try again.",
    };
    for (bool refresh : {false, true}) {
        for (std::size_t failing = 0; failing < kLoadQueries.size(); ++failing) {
            if (refresh && failing == 2)
                continue; // Refresh leaves the link timeout alone
            // "+OK" without its CR LF normalises to "+": a failure, like a refusal.
            for (const char* bad : {"", "-ERR\r\n", "+OK"}) {
                Fixture f;
                Steps steps(kLoadQueries.begin(), kLoadQueries.begin() + long(failing) + 1);
                if (refresh)
                    std::erase_if(steps, [](const Step& s) { return s.command == "Linkto\r\n"; });
                steps.back().reply = bad;
                f.script(steps);
                if (refresh)
                    f.click("refreshButton");
                else
                    f.page.load();
                const bool silent = *bad == '\0';
                const std::string context =
                    std::to_string(failing) + (refresh ? " refresh " : " load ") + bad;
                EXPECT_TRUE(f.session.done()) << context;
                EXPECT_EQ(f.prompter.messages,
                          QStringList{QLatin1String(silent ? timeouts[failing] : failures[failing])})
                    << context;
                EXPECT_EQ(f.session.reconnects, silent ? 1 : 0) << context;
                EXPECT_EQ(f.text("nameEdit"), failing > 0 ? QStringLiteral("Desk") : QString()) << context;
                EXPECT_FALSE(f.find<QToolButton>("maxDtUp")->isEnabled()) << context;
            }
        }
    }
}

TEST(BluetoothPage, RefreshReadsFiveSettingsAndLeavesTheRest) {
    Fixture f;
    f.loadWith(std::string(kRow) + "+OK\r\n");
    f.type("linkTimeoutEdit", QStringLiteral("25"));
    f.script({{"BTName\r\n", 10, "+OK Hall\r\n"},
              {"Maxdt\r\n", 0, "+OK Max 3\r\n"},
              {"Scan\r\n", 0, "+OK  page\r\n"},
              {"Secu\r\n", 0, "+OK low\r\n"},
              {"Pair\r\n", 0, "+OK off\r\n"}});
    f.click("refreshButton");
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.text("nameEdit"), QStringLiteral("Hall"));
    EXPECT_EQ(f.text("maxDtEdit"), QStringLiteral("3"));
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("25"));
    EXPECT_FALSE(f.checked("discoverableCheck"));
    EXPECT_TRUE(f.checked("connectableCheck"));
    EXPECT_EQ(f.find<QComboBox>("securityCombo")->currentIndex(), 0);
    EXPECT_FALSE(f.checked("pairableCheck"));
    EXPECT_EQ(f.rows().size(), 1u);
}

TEST(BluetoothPage, ValuesTheDeviceDoesNotNameLeaveTheControlsAsTheyWere) {
    Fixture f;
    f.loadWith("+OK\r\n");
    f.script({{"BTName\r\n", 10, "+OK Desk\r\n"},
              {"Maxdt\r\n", 0, "+OK Max\r\n"},
              {"Scan\r\n", 0, "+OK inquiry\r\n"},
              {"Secu\r\n", 0, "+OK medium\r\n"},
              {"Pair\r\n", 0, "+OK yes\r\n"}});
    f.click("refreshButton");
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_EQ(f.text("maxDtEdit"), QString()) << "a reply too short for its value gives an empty MaxDT";
    EXPECT_TRUE(f.checked("discoverableCheck"));
    EXPECT_FALSE(f.checked("connectableCheck"));
    EXPECT_EQ(f.find<QComboBox>("securityCombo")->currentIndex(), 1);
    EXPECT_TRUE(f.checked("pairableCheck"));
}

TEST(BluetoothPage, LocalDevicesRead) {
    const QString imperfect = QStringLiteral("Get Local Devices is imperfect. Try again.");
    const std::vector<std::string> row1{"1", "A1", "10", "20", "0", "0"};
    const std::vector<std::string> before{"1", "00 : 1a : 2b : 3c : 4d : 5e", "10", "20", "0", "0"};
    struct Case {
        std::string reply;
        Rows rows;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"+OK\r\n", {}, {}, 0},
        {"1|A1|10|20|0|0\r\n2|B2|1|2|3|4\r\n+OK\r\n", {row1, {"2", "B2", "1", "2", "3", "4"}}, {}, 0},
        // Whole lines without the closing "+OK" are no list: the load takes nothing and keeps the rows.
        {"1|A1|10|20|0|0\r\n", {before, before}, {unaskedReplyText("Stat")}, 0},
        {"1|A1|10|20|0|0\r\n2|B2", {row1}, {imperfect}, 0},
        {"1|A1|10|20|0|0", {}, {imperfect}, 0},
        {"whole line\r\n+OK\r\n", {{"", "", "", "", "", "whole line"}}, {}, 0},
        {"-ERR\r\n", {}, {QStringLiteral("Stat is Failed. Try again.")}, 0},
        {"", {}, {QStringLiteral("Get Stat is timeout. Check Lumeno-KVX and Try again.")}, 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith(std::string(kRow) + kRow + "+OK\r\n");
        f.loadWith(c.reply);
        EXPECT_EQ(f.rows(), c.rows) << c.reply;
        EXPECT_EQ(f.prompter.messages, c.messages) << c.reply;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.reply;
        EXPECT_TRUE(f.find<QToolButton>("maxDtUp")->isEnabled()) << "a failed read does not stop the range";
    }
}

// The name goes back as the device wrote it (Latin-1 here) when another field was edited.
TEST(BluetoothPage, ApplySendsTheNameAsTheBytesRead) {
    Fixture f;
    Steps load = kLoadQueries;
    load[0].reply = "+OK Caf\xE9\r\n";
    f.script(load);
    f.session.expect("Stat\r\n", 10, "+OK\r\n");
    f.page.load();
    EXPECT_EQ(f.text("nameEdit"), QStringLiteral("Caf\u00E9"));

    f.type("maxDtEdit", QStringLiteral("8"));
    Steps apply = applySteps();
    apply.erase(apply.begin() + 4); // no PIN
    apply[0].command = "BTName Caf\xE9\r\n";
    apply[1].command = "Maxdt 8\r\n";
    f.script(apply);
    f.click("applyButton");
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.page.appliedName(), "Caf\xE9");
}

TEST(BluetoothPage, ApplyChecksTheFieldsInOrderAndSendsNothing) {
    struct Case {
        const char* name;
        const char* maxDt;
        const char* linkTimeout;
        const char* message;
    };
    const Case cases[] = {
        {"", "", "", "Fill the Maxdt and Lumeno-KVX Name."},
        {"", "", "20", "Fill the Maxdt."},
        {"Desk", "", "", "Fill the Maxdt."},
        {"", "7", "", "Fill the Lumeno-KVX Name."},
        {" ", "7", "", "Fill the LinkTimeout."},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.type("nameEdit", QLatin1String(c.name));
        f.type("maxDtEdit", QLatin1String(c.maxDt));
        f.type("linkTimeoutEdit", QLatin1String(c.linkTimeout));
        f.click("applyButton");
        EXPECT_EQ(f.prompter.messages, QStringList{QLatin1String(c.message)}) << c.message;
        EXPECT_TRUE(f.session.sent.empty()) << c.message;
    }
}

TEST(BluetoothPage, ApplySendsSixCommandsWithoutAPinAndSevenWithOne) {
    for (bool withPin : {false, true}) {
        Fixture f;
        f.loadWith("+OK\r\n");
        EXPECT_EQ(f.page.appliedName(), std::nullopt);
        Steps steps = applySteps();
        if (withPin)
            f.type("pinEdit", QStringLiteral("1234"));
        else
            steps.erase(steps.begin() + 4);
        f.script(steps);
        f.click("applyButton");
        EXPECT_TRUE(f.session.done()) << withPin;
        EXPECT_TRUE(f.prompter.messages.isEmpty()) << withPin;
        EXPECT_EQ(f.text("pinEdit"), QString()) << withPin;
        EXPECT_EQ(f.page.appliedName(), "Desk") << withPin;
        // The name applied is the one sent, not one typed since.
        f.type("nameEdit", QStringLiteral("Typed later"));
        EXPECT_EQ(f.page.appliedName(), "Desk") << withPin;
    }
}

TEST(BluetoothPage, ApplyStopsAtTheFirstFailingSet) {
    const char* const timeouts[] = {
        "Set Bluetooth Information is timeout. Check Lumeno-KVX and Try again.",
        "Set Maxdt is timeout. Check Lumeno-KVX and Try again.",
        "Set LinkTimeout is timeout. Check Lumeno-KVX and Try again.",
        "Set Security is timeout. Check Lumeno-KVX and Try again.",
        "Set Pin Code is timeout. Check Lumeno-KVX and Try again.",
        "Set Pairable is timeout. Check Lumeno-KVX and Try again.",
        "Set Scan is timeout. Check Lumeno-KVX and Try again.",
    };
    const char* const failures[] = {
        "BTName Setup Fail. Try again.",       "Maxdt Setup Fail. Try again.",
        "LinkTimeout Setup Fail. Try again.",  "Security Setup Fail. Try again.",
        "Pin Code Setup Fail. Try again.",     "Pairable Setup Fail. Try again.",
        "Discoverable Setup Fail. Try again.",
    };
    for (std::size_t failing = 0; failing < 7; ++failing) {
        for (const char* bad : {"", "-ERR\r\n", "+OK done\r\n", "+OK"}) {
            Fixture f;
            f.loadWith("+OK\r\n");
            f.type("pinEdit", QStringLiteral("1234"));
            Steps steps = applySteps();
            steps.resize(failing + 1);
            steps.back().reply = bad;
            f.script(steps);
            f.click("applyButton");
            const bool silent = *bad == '\0';
            const std::string context = std::to_string(failing) + " " + bad;
            EXPECT_TRUE(f.session.done()) << context;
            EXPECT_EQ(f.prompter.messages,
                      QStringList{QLatin1String(silent ? timeouts[failing] : failures[failing])})
                << context;
            EXPECT_EQ(f.session.reconnects, silent ? 1 : 0) << context;
            EXPECT_EQ(f.text("pinEdit"), QStringLiteral("1234")) << context;
            EXPECT_EQ(f.page.appliedName(), std::nullopt) << context;
        }
    }
}

TEST(BluetoothPage, ScanWordAndItsFailureFollowTheTwoBoxes) {
    struct Case {
        bool discoverable;
        bool connectable;
        const char* command;
        const char* message;
    };
    const Case cases[] = {
        {true, true, "Scan Inquiry page\r\n", "Discoverable and Connectable Setup Fail. Try again."},
        {true, false, "Scan Inquiry\r\n", "Discoverable Setup Fail. Try again."},
        {false, true, "Scan Page\r\n", "Connectable Setup Fail. Try again."},
        {false, false, "Scan noscan\r\n", "Noscan Setup Fail. Try again."},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith("+OK\r\n");
        f.find<QCheckBox>("discoverableCheck")->setChecked(c.discoverable);
        f.find<QCheckBox>("connectableCheck")->setChecked(c.connectable);
        Steps steps = applySteps();
        steps.erase(steps.begin() + 4);
        steps.back() = {c.command, 0, "-ERR\r\n"};
        f.script(steps);
        f.click("applyButton");
        EXPECT_TRUE(f.session.done()) << c.command;
        EXPECT_EQ(f.prompter.messages, QStringList{QLatin1String(c.message)}) << c.command;
    }
}

TEST(BluetoothPage, WithoutASecurityEntryThePreviousWordIsSentAgain) {
    Fixture f;
    f.loadWith("+OK\r\n");
    Steps steps = applySteps();
    steps.erase(steps.begin() + 4);
    f.find<QComboBox>("securityCombo")->setCurrentIndex(-1);
    steps[3].command = "Secu \r\n";
    f.script(steps);
    f.click("applyButton");
    f.find<QComboBox>("securityCombo")->setCurrentIndex(1);
    f.script(applySteps());
    f.type("pinEdit", QStringLiteral("1234"));
    f.click("applyButton");
    f.find<QComboBox>("securityCombo")->setCurrentIndex(-1);
    steps[3].command = "Secu high\r\n";
    f.script(steps);
    f.click("applyButton");
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
}

TEST(BluetoothPage, AReplacedConnectionEmptiesNamePinAndMaxDt) {
    Fixture f;
    f.loadWith("+OK\r\n");
    Steps steps = applySteps();
    steps.erase(steps.begin() + 4);
    f.script(steps);
    f.click("applyButton");
    f.type("pinEdit", QStringLiteral("99"));
    f.page.connectionReplaced();
    for (const char* emptied : {"nameEdit", "pinEdit", "maxDtEdit"})
        EXPECT_EQ(f.text(emptied), QString()) << emptied;
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("20"));
    EXPECT_EQ(f.page.appliedName(), std::nullopt) << "the name was applied to the device before";
}

TEST(BluetoothPage, UpDownArrowsStepInsideTheRangeAndTypedTextIsKept) {
    Fixture f;
    auto* up = f.find<QToolButton>("linkTimeoutUp");
    auto* down = f.find<QToolButton>("linkTimeoutDown");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("30"));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("29"));
    f.type("linkTimeoutEdit", QStringLiteral("50"));
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("50"));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(f.text("linkTimeoutEdit"), QStringLiteral("28"))
        << "out-of-range text steps from the last position";

    f.loadWith("+OK\r\n");
    f.type("maxDtEdit", QStringLiteral("14"));
    QTest::keyClick(f.find("maxDtEdit"), Qt::Key_Up);
    EXPECT_EQ(f.text("maxDtEdit"), QStringLiteral("14"));
    QTest::mouseClick(f.find<QToolButton>("maxDtDown"), Qt::LeftButton);
    EXPECT_EQ(f.text("maxDtEdit"), QStringLiteral("13"));
}

TEST(BluetoothPage, FieldsTakeNoLineBreakAndThePinAtMost18Characters) {
    Fixture f;
    f.type("pinEdit", QStringLiteral("12345678901234567890"));
    EXPECT_EQ(f.text("pinEdit"), QStringLiteral("123456789012345678"));
    QApplication::clipboard()->setText(QStringLiteral("Desk\r\nReboot"));
    for (const char* name : {"nameEdit", "pinEdit", "maxDtEdit", "linkTimeoutEdit"}) {
        f.find(name)->clear();
        f.find(name)->paste();
        EXPECT_EQ(f.text(name), QString()) << name << ": a second command line would follow";
    }
}

// Apply writes only settings this connection read: a load that failed in part, a page never loaded
// (a tab chosen by keyboard) and a replaced connection leave fields the device never gave.
TEST(BluetoothPage, ApplySendsOnlyWhatThisConnectionRead) {
    const auto loadFailingAt = [](std::size_t failing, const char* reply) {
        return [=](Fixture& f) {
            Steps steps(kLoadQueries.begin(), kLoadQueries.begin() + long(failing) + 1);
            steps.back().reply = reply;
            f.script(steps);
            f.page.load();
        };
    };
    const auto refreshWhole = [](Fixture& f) {
        Steps steps = kLoadQueries;
        steps.erase(steps.begin() + 2);
        f.script(steps);
        f.click("refreshButton");
    };
    struct Case {
        const char* name;
        std::function<void(Fixture&)> before;
        bool sends;
    };
    const Case cases[] = {
        {"whole load", [](Fixture& f) { f.loadWith("+OK\r\n"); }, true},
        {"local devices failed after the settings", [](Fixture& f) { f.loadWith("-ERR\r\n"); }, true},
        {"never loaded", [](Fixture&) {}, false},
        {"Scan refused", loadFailingAt(3, "-ERR\r\n"), false},
        {"Pair silent", loadFailingAt(5, ""), false},
        {"a reply nobody asked for",
         [](Fixture& f) {
             f.script({kLoadQueries[0], kLoadQueries[1]});
             f.session.expectAfterUnasked("Linkto\r\n", 0, kLoadQueries[2].reply);
             f.page.load();
         },
         false},
        {"connection replaced",
         [](Fixture& f) {
             f.loadWith("+OK\r\n");
             f.page.connectionReplaced();
         },
         false},
        {"Refresh after a load that read the link timeout",
         [&](Fixture& f) {
             loadFailingAt(3, "-ERR\r\n")(f);
             refreshWhole(f);
         },
         true},
        {"Refresh alone, the link timeout never read", refreshWhole, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        c.before(f);
        f.prompter.messages.clear();
        // What an operator fills in where the device gave nothing.
        f.type("nameEdit", QStringLiteral("Hall"));
        f.type("maxDtEdit", QStringLiteral("7"));
        Steps apply = applySteps();
        apply.erase(apply.begin() + 4);
        apply[0].command = "BTName Hall\r\n";
        if (c.sends)
            f.script(apply);
        f.click("applyButton");
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.prompter.messages, c.sends ? QStringList() : QStringList{unreadValuesText()}) << c.name;
    }
}

// Numbers the device would misread are refused by name and range before anything is sent.
// The Bluetooth and Neighborhoods pages.
TEST(BluetoothPage, NumbersOutsideTheirRangeAreRefusedByName) {
    const QString maxDt = QStringLiteral("MaxDT must be a whole number from 0 to 14.");
    const QString linkTimeout = QStringLiteral("LinkTimeout must be a whole number from 1 to 30.");
    const QString interval = QStringLiteral("Interval (sec) must be a whole number from 1 to 3600.");
    const QString length = QStringLiteral("Length (sec) must be a whole number from 1 to 60.");
    struct Case {
        bool neighborhoods; // else the Bluetooth page
        const char* field;
        const char* text;
        QString message;
    };
    const Case cases[] = {
        {false, "maxDtEdit", "abc", maxDt},
        {false, "maxDtEdit", "15", maxDt},
        {false, "maxDtEdit", "-1", maxDt},
        {false, "maxDtEdit", "\u0663", maxDt}, // a digit of another script
        {false, "linkTimeoutEdit", "0", linkTimeout},
        {false, "linkTimeoutEdit", "2 0", linkTimeout},
        {false, "linkTimeoutEdit", "99999999999999999999", linkTimeout},
        {true, "intervalEdit", "", interval},
        {true, "intervalEdit", "3601", interval},
        {true, "lengthEdit", "5s", length},
        {true, "lengthEdit", "61", length},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.setVersionCode(263);
        BluetoothPage bluetooth(session, prompter);
        NeighborhoodsPage neighborhoods(session, prompter);
        QWidget& page = c.neighborhoods ? static_cast<QWidget&>(neighborhoods) : bluetooth;
        if (c.neighborhoods) {
            session.expect("pinq\r\n", 3, "+OK Off 20 4 0x9E8B33\r\n");
            neighborhoods.load();
        } else {
            for (const Step& s : kLoadQueries)
                session.expect(s.command, s.wait, s.reply);
            session.expect("Stat\r\n", 10, "+OK\r\n");
            bluetooth.load();
        }
        page.findChild<QLineEdit*>(QLatin1String(c.field))->setText(QString::fromUtf8(c.text));
        QTest::mouseClick(
            page.findChild<QAbstractButton*>(QLatin1String(c.neighborhoods ? "startButton" : "applyButton")),
            Qt::LeftButton);
        EXPECT_TRUE(session.done()) << c.text;
        EXPECT_EQ(prompter.messages, QStringList{c.message}) << c.field << " " << c.text;
    }
}
