#include "mode_window_driver.h"
#include "modes/entry_window.h"
#include "modes/server_mode_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QCheckBox>
#include <QHeaderView>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;

namespace {

const char* const kTwoDevices = "1|00:1B:DC:0F:B1:01||9101\r\n2||Printer|9102\r\n+OK\r\n";
const Rows kTwoRows = {{"1", "00:1B:DC:0F:B1:01", "9101"}, {"2", "Printer", "9102"}};
const QString kPortTimeout = QStringLiteral("Get Port Number is timeout. Check Lumeno-KVX and Try again.");

Steps loadSteps(const std::string& bindReply = kTwoDevices) {
    return {{"Port\r\n", 0, "+OK 9100\r\n"},
            {"prsv\r\n", 1, "+OK PRSV on\r\n"},
            {"kato\r\n", 1, "+OK KATO 300 10 3\r\n"},
            {"Bind\r\n", 1, bindReply}};
}

struct Fixture {
    explicit Fixture(const char* capabilities = "+OK REPEATER PRSV KATO") {
        session.capabilityLine = capabilities;
    }
    void script(const Steps& steps) {
        for (const Step& s : steps)
            session.expect(s.command, s.wait, s.reply);
    }
    // Opens the window as the Operation Mode page does and plays `act` inside it.
    void open(const Steps& load, const std::function<void()>& act = {}) {
        script(load);
        runOpened(window, act);
    }
    QTreeWidget* table() const { return child<QTreeWidget>(window, "deviceTable"); }
    Rows rows() const { return rowsOf(table()); }
    bool keepSocket() const { return child<QCheckBox>(window, "keepSocketCheck")->isChecked(); }

    ScriptedSession session;
    RecordingPrompter prompter;
    ServerModeWindow window{session, prompter};
};

} // namespace

TEST(ServerModeWindow, LoadAsksForPrsvAndKatoOnlyWhenTheDeviceNamesThem) {
    struct Case {
        const char* capabilities;
        bool prsv;
        bool kato;
    };
    const Case cases[] = {
        {"+OK REPEATER PRSV KATO", true, true},
        {"+OK PRSV", true, false},
        {"+OK kato KATO", false, true},
        {"+OK REPEATER", false, false},
    };
    for (const Case& c : cases) {
        Fixture f(c.capabilities);
        Steps steps = loadSteps();
        std::erase_if(steps, [&](const Step& s) {
            return (!c.prsv && s.command == "prsv\r\n") || (!c.kato && s.command == "kato\r\n");
        });
        f.open(steps);
        EXPECT_TRUE(f.session.done()) << c.capabilities;
        EXPECT_TRUE(f.prompter.messages.isEmpty()) << c.capabilities;
        EXPECT_EQ(textOf(f.window, "portEdit"), QStringLiteral("9100")) << c.capabilities;
        EXPECT_EQ(child<QCheckBox>(f.window, "keepSocketCheck")->isEnabled(), c.prsv) << c.capabilities;
        EXPECT_EQ(f.keepSocket(), c.prsv) << c.capabilities;
        EXPECT_EQ(child<QLineEdit>(f.window, "keepAliveEdit")->isEnabled(), c.kato) << c.capabilities;
        EXPECT_EQ(textOf(f.window, "keepAliveEdit"), c.kato ? QStringLiteral("300") : QString())
            << c.capabilities;
        EXPECT_EQ(f.rows(), kTwoRows) << c.capabilities;
    }
}

TEST(ServerModeWindow, LoadReadsThePortFromTheEndAndTheSocketOptionFromOff) {
    struct Case {
        const char* port;
        const char* prsv;
        const char* shownPort;
        bool keepSocket;
    };
    const Case cases[] = {
        {"+OK 9101\r\n", "+OK PRSV off\r\n", "9101", false},
        {"+OK Port 19102\r\n", "+OK PRSV on\r\n", "9102", true},
        {"+OK 9103\r\n", "+OK\r\n", "9103", true},
    };
    for (const Case& c : cases) {
        Fixture f;
        Steps steps = loadSteps("+OK\r\n");
        steps[0].reply = c.port;
        steps[1].reply = c.prsv;
        f.open(steps);
        EXPECT_EQ(textOf(f.window, "portEdit"), QLatin1String(c.shownPort)) << c.port;
        EXPECT_EQ(f.keepSocket(), c.keepSocket) << c.prsv;
        EXPECT_TRUE(f.rows().empty());
        EXPECT_TRUE(f.prompter.messages.isEmpty());
    }
}

TEST(ServerModeWindow, LoadFailures) {
    const QString bindTimeout = QStringLiteral("Get Bind is timeout. Check Lumeno-KVX and Try again.");
    const QString imperfect = QStringLiteral("Get Bind Devices is imperfect. Try again.");
    const QString kato = QStringLiteral("Retrieving TCP KeepAlive setting failed.");
    struct Case {
        std::size_t failing; // index into the load steps; the load sends up to there
        const char* reply;
        bool goesOn; // the load continues with the steps after the failing one
        QStringList messages;
        int reconnects;
        const char* keepAlive;
        Rows rows;
    };
    const Case cases[] = {
        {0, "", false, {kPortTimeout}, 1, "", {}},
        {0, "-ERR\r\n", false, {QStringLiteral("Get Port Number is Failed. Try again.")}, 0, "", {}},
        {0, "+OK", false, {QStringLiteral("Get Port Number is Failed. Try again.")}, 0, "", {}},
        {1, "", false, {kPortTimeout}, 1, "", {}},
        {1, "-ERR\r\n", false, {kPortTimeout}, 1, "", {}},
        {2, "", true, {kato}, 0, "600", kTwoRows},
        {2, "-ERR KATO 300 10 3\r\n", true, {kato}, 0, "600", kTwoRows},
        {3, "", false, {bindTimeout}, 1, "300", {}},
        {3, "-ERR\r\n", false, {QStringLiteral("Bind is Failed. Try again.")}, 0, "300", {}},
        {3, "1|00:1B:DC:0F:B1:01||9101", false, {imperfect}, 0, "300", {}},
        {3, "1|00:1B:DC:0F:B1:01||9101\r\n2||Prin", false, {imperfect}, 0, "300", {kTwoRows[0]}},
    };
    for (const Case& c : cases) {
        Fixture f;
        Steps steps = loadSteps();
        steps[c.failing].reply = c.reply;
        if (!c.goesOn)
            steps.resize(c.failing + 1);
        f.open(steps);
        const std::string context = std::to_string(c.failing) + " " + c.reply;
        EXPECT_TRUE(f.session.done()) << context;
        EXPECT_EQ(f.prompter.messages, c.messages) << context;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << context;
        // What was read before the stop stays shown.
        EXPECT_EQ(textOf(f.window, "portEdit"), c.failing > 0 ? QStringLiteral("9100") : QString())
            << context;
        EXPECT_EQ(textOf(f.window, "keepAliveEdit"), QLatin1String(c.keepAlive)) << context;
        EXPECT_EQ(f.rows(), c.rows) << context;
    }
}

TEST(ServerModeWindow, TableColumns) {
    Fixture f;
    const QTreeWidget* table = f.table();
    ASSERT_EQ(table->columnCount(), 3);
    const QTreeWidgetItem* header = table->headerItem();
    EXPECT_EQ(header->text(0), QStringLiteral("  Index"));
    EXPECT_EQ(header->text(1), QStringLiteral("          BDADDR/Name"));
    EXPECT_EQ(header->text(2), QStringLiteral("       Port "));
    EXPECT_TRUE(table->isColumnHidden(0));
    EXPECT_EQ(table->columnWidth(1), 195);
    EXPECT_EQ(table->columnWidth(2), 107);
}

TEST(ServerModeWindow, ApplySendsThePortThenTheOptionsItKnows) {
    const QString portFail = QStringLiteral("Set Port Number is timeout. Check Lumeno-KVX and Try again.");
    struct Case {
        const char* name;
        const char* capabilities;
        const char* port;
        Steps steps;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"all three",
         "+OK PRSV KATO",
         "9101",
         {{"Port 9101\r\n", 1, "+OK\r\n"},
          {"prsv on\r\n", 1, "+OK\r\n"},
          {"kato 300 10 3\r\n", 1, "+OK\r\n"}},
         {},
         0},
        {"port only", "+OK", "9101", {{"Port 9101\r\n", 1, "+OK\r\n"}}, {}, 0},
        {"empty port sent as it stands", "+OK", "", {{"Port \r\n", 1, "+OK\r\n"}}, {}, 0},
        {"port silent", "+OK PRSV KATO", "9101", {{"Port 9101\r\n", 1, ""}}, {portFail}, 1},
        {"port refused", "+OK PRSV KATO", "9101", {{"Port 9101\r\n", 1, "-ERR\r\n"}}, {portFail}, 1},
        {"options fail and go on",
         "+OK PRSV KATO",
         "9101",
         {{"Port 9101\r\n", 1, "+OK\r\n"}, {"prsv on\r\n", 1, ""}, {"kato 300 10 3\r\n", 1, "-ERR\r\n"}},
         {QStringLiteral("Setting PRSV failed."), QStringLiteral("Setting TCP KeepAlive Time failed.")},
         0},
    };
    for (const Case& c : cases) {
        Fixture f(c.capabilities);
        Steps load = loadSteps();
        if (std::string_view(c.capabilities).find("PRSV") == std::string_view::npos)
            load.erase(load.begin() + 1, load.begin() + 3);
        f.open(load, [&] {
            retype(f.window, "portEdit", QLatin1String(c.port));
            f.script(c.steps);
            click(f.window, "applyButton");
            EXPECT_TRUE(f.window.isVisible()) << c.name;
        });
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.prompter.messages, c.messages) << c.name;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.name;
    }
}

TEST(ServerModeWindow, ApplySendsTheUncheckedOptionAsOff) {
    Fixture f;
    f.open(loadSteps(), [&] {
        child<QCheckBox>(f.window, "keepSocketCheck")->click();
        retype(f.window, "keepAliveEdit", QStringLiteral("45"));
        f.script({{"Port 9100\r\n", 1, "+OK\r\n"},
                  {"prsv off\r\n", 1, "+OK\r\n"},
                  {"kato 45 10 3\r\n", 1, "+OK\r\n"}});
        click(f.window, "applyButton");
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
}

TEST(ServerModeWindow, AddedRowsAreIndexedByTheirRowNumberAndCountInLaterChecks) {
    Fixture f;
    const std::string fiveDevices =
        "1||A|9101\r\n2||B|9102\r\n3||C|9103\r\n4||D|9104\r\n5||E|9105\r\n+OK\r\n";
    f.open(loadSteps(fiveDevices), [&] {
        const auto added = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
            click(w, "nameChoice");
            retype(w, "nameEdit", QStringLiteral("Scale"));
            retype(w, "portEdit", QStringLiteral("9106"));
            f.session.expect("Bind Scale 9106\r\n", 10, "+OK\r\n");
            click(w, "addButton");
        });
        click(f.window, "addButton");
        EXPECT_TRUE(*added);

        const auto cancelled = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
            click(w, "nameChoice");
            retype(w, "nameEdit", QStringLiteral("Scale"));
            retype(w, "portEdit", QStringLiteral("9107"));
            click(w, "addButton");
            EXPECT_EQ(f.prompter.messages, QStringList{QStringLiteral("Same Name is exist. Try again.")});
        });
        click(f.window, "addButton");
        EXPECT_TRUE(*cancelled);
    });
    EXPECT_TRUE(f.session.done());
    ASSERT_EQ(f.rows().size(), 6u);
    EXPECT_EQ(f.rows()[5], (std::vector<std::string>{"5", "Scale", "9106"}));
}

TEST(ServerModeWindow, DeleteReleasesThePortOfThePickedRowWhateverTheReply) {
    const QString timeout = QStringLiteral("Deleting Device is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Device Deleting is Failed. Try again.");
    struct Case {
        const char* reply;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"+OK\r\n", {}, 0}, {"", {timeout}, 1}, {"-ERR\r\n", {failed}, 0}, {"+OK done\r\n", {failed}, 0}};
    for (const Case& c : cases) {
        Fixture f;
        f.open(loadSteps(), [&] {
            clickRow(f.table(), 1);
            f.session.expect("Rele 9102\r\n", 10, c.reply);
            click(f.window, "deleteButton");
            // The picked index now lies past the last row: nothing more is sent.
            click(f.window, "deleteButton");
            click(f.window, "modifyButton");
        });
        EXPECT_TRUE(f.session.done()) << c.reply;
        EXPECT_EQ(f.prompter.messages, c.messages) << c.reply;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.reply;
        EXPECT_EQ(f.rows(), Rows{kTwoRows[0]}) << c.reply;
    }
}

TEST(ServerModeWindow, DeleteAndModifyWithoutAPickedRowDoNothing) {
    Fixture f;
    f.open(loadSteps(), [&] {
        click(f.window, "deleteButton");
        click(f.window, "modifyButton");
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.rows(), kTwoRows);
    EXPECT_EQ(f.window.findChild<EntryWindow*>(), nullptr);
}

TEST(ServerModeWindow, ModifyRewritesThePickedRowAndKeepsItsIndex) {
    for (bool confirm : {true, false}) {
        Fixture f;
        f.open(loadSteps(), [&] {
            clickRow(f.table(), 1);
            const auto played = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
                EXPECT_EQ(textOf(w, "deviceEdit"), QStringLiteral("Printer"));
                EXPECT_EQ(textOf(w, "portEdit"), QStringLiteral("9102"));
                retype(w, "deviceEdit", QStringLiteral("Label printer"));
                retype(w, "portEdit", QStringLiteral("9110"));
                if (!confirm)
                    return;
                f.script({{"Rele 9102\r\n", 0, "+OK\r\n"}, {"Bind Label printer 9110\r\n", 10, "+OK\r\n"}});
                click(w, "modifyButton");
            });
            click(f.window, "modifyButton");
            EXPECT_TRUE(*played);
        });
        EXPECT_TRUE(f.session.done());
        EXPECT_EQ(f.rows()[1],
                  confirm ? (std::vector<std::string>{"2", "Label printer", "9110"}) : kTwoRows[1]);
    }
}

TEST(ServerModeWindow, EachOpeningRebuildsTheTableAndShowsThePickedRow) {
    Fixture f;
    f.open(loadSteps(), [&] { clickRow(f.table(), 1); });
    f.open(loadSteps("7||Scale|9107\r\n8||Meter|9108\r\n9||Lamp|9109\r\n+OK\r\n"), [&] {
        ASSERT_EQ(f.table()->selectedItems().size(), 1);
        EXPECT_EQ(f.table()->selectedItems().first()->text(1), QStringLiteral("Meter"));
        f.session.expect("Rele 9108\r\n", 10, "+OK\r\n");
        click(f.window, "deleteButton");
        // The same index picks the row that moved up into it.
        ASSERT_EQ(f.table()->selectedItems().size(), 1);
        EXPECT_EQ(f.table()->selectedItems().first()->text(1), QStringLiteral("Lamp"));
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.rows(), (Rows{{"7", "Scale", "9107"}, {"9", "Lamp", "9109"}}));
}
