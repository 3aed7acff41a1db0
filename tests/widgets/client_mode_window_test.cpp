#include "controls/ip_address_edit.h"
#include "mode_window_driver.h"
#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/entry_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QCheckBox>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;

namespace {

const char* const kServers = "1|12:34:56:78:90:AB||192.168.0.20:9100\r\n"
                             "2||Printer|192.168.000.021:19100\r\n"
                             "+OK 192.168.0.10:9100\r\n";
const Rows kTwoRows = {{"12:34:56:78:90:AB", "192.168.0.20:9100"}, {"Printer", "192.168.000.021:19100"}};
const IpAddressEdit::Octets kHost{192, 168, 0, 10};
const IpAddressEdit::Octets kThreeFields{192, 168, 0, std::nullopt};

Steps loadSteps(const std::string& servers = kServers) {
    return {{"Serv\r\n", 1, servers},
            {"Rept\r\n", 0, "+OK REPEAT every 5000 ms\r\n"},
            {"Psist\r\n", 0, "+OK PERSIST on\r\n"}};
}

struct Fixture {
    void script(const Steps& steps) {
        for (const Step& s : steps)
            session.expect(s.command, s.wait, s.reply);
    }
    int open(const Steps& load, const std::function<void()>& act = {}) {
        script(load);
        return runOpened(window, act);
    }
    QTreeWidget* table() const { return child<QTreeWidget>(window, "serverTable"); }
    Rows rows() const { return rowsOf(table()); }
    IpAddressEdit* host() const { return child<IpAddressEdit>(window, "hostAddressEdit"); }
    bool reconnect() const { return child<QCheckBox>(window, "reconnectCheck")->isChecked(); }

    ScriptedSession session;
    RecordingPrompter prompter;
    ClientModeWindow window{session, prompter};
};

} // namespace

TEST(ClientModeWindow, LoadFillsTheTableTheHostTheIntervalAndTheOption) {
    Fixture f;
    EXPECT_EQ(textOf(f.window, "intervalEdit"), QStringLiteral("3000"));
    f.open(loadSteps());
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_EQ(f.rows(), kTwoRows);
    EXPECT_EQ(f.host()->octets(), kHost);
    EXPECT_EQ(textOf(f.window, "hostPortEdit"), QStringLiteral("9100"));
    EXPECT_EQ(textOf(f.window, "intervalEdit"), QStringLiteral("5000"));
    EXPECT_TRUE(f.reconnect());

    const QTreeWidgetItem* header = f.table()->headerItem();
    ASSERT_EQ(f.table()->columnCount(), 2);
    EXPECT_EQ(header->text(0), QStringLiteral("       BDADDR/Name"));
    EXPECT_EQ(header->text(1), QStringLiteral("                IP:Port "));
    // Widths in pixels, scaled alike by the desktop's font.
    const double scale = f.table()->columnWidth(0) / 170.0;
    EXPECT_GE(scale, 1.0);
    EXPECT_NEAR(f.table()->columnWidth(1), 183 * scale, 1.0);
}

TEST(ClientModeWindow, TheOptionIsOnOnlyForOn) {
    struct Case {
        const char* reply;
        bool on;
    };
    const Case cases[] = {{"+OK PERSIST off\r\n", false},
                          {"+OK PERSIST on\r\n", true},
                          {"+OK PERSIST yes\r\n", false},
                          {"+OK PERSIST on \r\n", false}};
    for (const Case& c : cases) {
        Fixture f;
        Steps steps = loadSteps();
        steps[2].reply = c.reply;
        f.open(steps);
        EXPECT_EQ(f.reconnect(), c.on) << c.reply;
    }
}

TEST(ClientModeWindow, LoadFailures) {
    const QString servTimeout =
        QStringLiteral("Get Server host address is timeout. Check Lumeno-KVX and Try again.");
    const QString servFailed = QStringLiteral("Get Server host address is Failed. Try again.");
    const QString imperfect = QStringLiteral("Get Server Devices is imperfect. Try again.");
    const QString intervalFailed = QStringLiteral("Get Connection interval time is Failed. Try again.");
    const QString psistTimeout =
        QStringLiteral("Get re-Connect status is timeout. Check Lumeno-KVX and Try again.");
    const QString psistFailed = QStringLiteral("Get re-Connect status is Failed. Try again.");
    struct Case {
        std::size_t failing;
        std::string reply;
        bool goesOn;
        QStringList messages;
        int reconnects;
        Rows rows;
        bool host;
        const char* interval;
    };
    const Case cases[] = {
        {0, "", true, {servTimeout}, 1, {}, false, "5000"},
        {0, "-ERR\r\n", true, {servFailed}, 0, {}, false, "5000"},
        {0, "1|12:34:56:78:90:AB||192.168.0.20:9100", true, {imperfect}, 0, {}, false, "5000"},
        {0,
         "1|12:34:56:78:90:AB||192.168.0.20:9100\r\n2||Pri",
         true,
         {imperfect},
         0,
         {kTwoRows[0]},
         false,
         "5000"},
        {0, "+OK 192.168.0.10:9100\r\n", true, {}, 0, {}, true, "5000"},
        {1, "", false, {intervalFailed}, 1, kTwoRows, true, "3000"},
        {1, "-ERR\r\n", false, {intervalFailed}, 0, kTwoRows, true, "3000"},
        {2, "", false, {psistTimeout}, 1, kTwoRows, true, "5000"},
        {2, "-ERR\r\n", false, {psistFailed}, 0, kTwoRows, true, "5000"},
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
        EXPECT_EQ(f.rows(), c.rows) << context;
        EXPECT_EQ(f.host()->filledCount(), c.host ? 4 : 0) << context;
        EXPECT_EQ(textOf(f.window, "intervalEdit"), QLatin1String(c.interval)) << context;
        EXPECT_EQ(f.reconnect(), c.goesOn) << context;
    }
}

TEST(ClientModeWindow, ApplyChecksInTheirOrder) {
    struct Case {
        IpAddressEdit::Octets host;
        const char* port;
        const char* interval;
        const char* message;
    };
    const IpAddressEdit::Octets threeFields{10, 0, 0, std::nullopt};
    const Case cases[] = {
        {threeFields, "", "", "Fill the HOST IP Address and HOST Port Number."},
        {threeFields, "9100", "", "Fill the HOST IP Address."},
        {kHost, "", "", "Fill the HOST Port Number."},
        {kHost, "9100", "", "Fill the Connection interval time."},
    };
    for (const Case& c : cases) {
        Fixture f;
        const int result = f.open(loadSteps(), [&] {
            f.host()->setOctets(c.host);
            retype(f.window, "hostPortEdit", QLatin1String(c.port));
            retype(f.window, "intervalEdit", QLatin1String(c.interval));
            click(f.window, "applyButton");
            EXPECT_TRUE(f.window.isVisible()) << c.message;
        });
        EXPECT_EQ(result, QDialog::Rejected) << c.message;
        EXPECT_TRUE(f.session.done()) << c.message;
        EXPECT_EQ(f.prompter.messages, QStringList{QLatin1String(c.message)});
    }
}

TEST(ClientModeWindow, ApplySendsHostIntervalAndOptionAndClosesWhenEachIsConfirmed) {
    const Step host{"Serv 10.0.0.5:9100\r\n", 10, "+OK\r\n"};
    const Step interval{"Rept 3000\r\n", 0, "+OK REPEAT every 3000 ms\r\n"};
    struct Case {
        const char* name;
        Steps steps;
        bool closes;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"all confirmed", {host, interval, {"Psist off\r\n", 0, "+OK PERSIST off\r\n"}}, true, {}, 0},
        {"host refused",
         {{"Serv 10.0.0.5:9100\r\n", 10, "-ERR\r\n"}},
         false,
         {QStringLiteral("Client Mode Setup Fail. Try again.")},
         0},
        {"host silent",
         {{"Serv 10.0.0.5:9100\r\n", 10, ""}},
         false,
         {QStringLiteral("Set Server host address is timeout. Check Lumeno-KVX and Try again.")},
         1},
        {"interval without its blank",
         {host, {"Rept 3000\r\n", 0, "+OK REPEAT every 3000ms\r\n"}},
         false,
         {QStringLiteral("Connection interval time Setup Fail. Try again.")},
         0},
        {"interval silent",
         {host, {"Rept 3000\r\n", 0, ""}},
         false,
         {QStringLiteral("Set Connection interval time is timeout. Check Lumeno-KVX and Try again.")},
         1},
        {"option answered with the other word",
         {host, interval, {"Psist off\r\n", 0, "+OK PERSIST on\r\n"}},
         false,
         {QStringLiteral("re-Connect status Setup Fail. Try again.")},
         0},
        {"option silent",
         {host, interval, {"Psist off\r\n", 0, ""}},
         false,
         {QStringLiteral("Set re-Connect status is timeout. Check Lumeno-KVX and Try again.")},
         1},
    };
    for (const Case& c : cases) {
        Fixture f;
        const int result = f.open(loadSteps(), [&] {
            f.host()->setOctets({10, 0, 0, 5});
            retype(f.window, "intervalEdit", QStringLiteral("3000"));
            child<QCheckBox>(f.window, "reconnectCheck")->click();
            f.script(c.steps);
            click(f.window, "applyButton");
        });
        EXPECT_EQ(result, c.closes ? QDialog::Accepted : QDialog::Rejected) << c.name;
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.prompter.messages, c.messages) << c.name;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.name;
    }
}

TEST(ClientModeWindow, RefreshPutsBackWhatTheLoadReadEvenAfterAModify) {
    Fixture f;
    f.open(loadSteps(), [&] {
        clickRow(f.table(), 0);
        const auto modified = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
            child<IpAddressEdit>(w, "addressEdit")->setOctets({172, 16, 0, 9});
            f.script({{"DelServ 12:34:56:78:90:AB\r\n", 0, "+OK\r\n"},
                      {"Serv 172.16.0.9:9100 12:34:56:78:90:AB\r\n", 10, "+OK\r\n"}});
            click(w, "modifyButton");
        });
        click(f.window, "modifyButton");
        EXPECT_TRUE(*modified);
        f.host()->setOctets({1, 2, 3, 4});
        retype(f.window, "hostPortEdit", QStringLiteral("80"));
        retype(f.window, "intervalEdit", QStringLiteral("100"));
        child<QCheckBox>(f.window, "reconnectCheck")->click();
        click(f.window, "refreshButton");
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.rows()[0], (std::vector<std::string>{"12:34:56:78:90:AB", "172.16.0.9:9100"}));
    EXPECT_EQ(f.host()->octets(), kHost);
    EXPECT_EQ(textOf(f.window, "hostPortEdit"), QStringLiteral("9100"));
    EXPECT_EQ(textOf(f.window, "intervalEdit"), QStringLiteral("5000"));
    EXPECT_TRUE(f.reconnect());
}

TEST(ClientModeWindow, DeleteNamesTheEntryByItsBdaddrOrName) {
    const QString timeout = QStringLiteral("Deleting Server is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Server Deleting is Failed. Try again.");
    struct Case {
        const char* reply;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {{"+OK\r\n", {}, 0}, {"", {timeout}, 1}, {"-ERR\r\n", {failed}, 0}};
    for (const Case& c : cases) {
        Fixture f;
        f.open(loadSteps(), [&] {
            click(f.window, "deleteButton"); // nothing picked yet: nothing sent
            clickRow(f.table(), 1);
            f.session.expect("DelServ Printer\r\n", 10, c.reply);
            click(f.window, "deleteButton");
            click(f.window, "deleteButton"); // the picked index is gone
        });
        EXPECT_TRUE(f.session.done()) << c.reply;
        EXPECT_EQ(f.prompter.messages, c.messages) << c.reply;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.reply;
        EXPECT_EQ(f.rows(), Rows{kTwoRows[0]}) << c.reply;
    }
}

TEST(ClientModeWindow, AddAppendsTheServerAndModifyStartsFromTheRowWrittenOutAgain) {
    Fixture f;
    f.open(loadSteps(), [&] {
        const auto added = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
            click(w, "nameChoice");
            retype(w, "nameEdit", QStringLiteral("Scale"));
            child<IpAddressEdit>(w, "serverAddressEdit")->setOctets({192, 168, 0, 30});
            retype(w, "serverPortEdit", QStringLiteral("9100"));
            f.session.expect("Serv 192.168.0.30:9100 Scale\r\n", 10, "+OK\r\n");
            click(w, "addButton");
        });
        click(f.window, "addButton");
        EXPECT_TRUE(*added);

        clickRow(f.table(), 1);
        const auto modified = whenOpened<EntryWindow>(f.window, [&](EntryWindow& w) {
            EXPECT_EQ(textOf(w, "deviceEdit"), QStringLiteral("Printer"));
            EXPECT_EQ(child<IpAddressEdit>(w, "addressEdit")->octets(),
                      (IpAddressEdit::Octets{192, 168, 0, 21}));
            EXPECT_EQ(textOf(w, "portEdit"), QStringLiteral("19100"));
            f.script({{"DelServ Printer\r\n", 0, "+OK\r\n"},
                      {"Serv 192.168.0.21:19100 Label\r\n", 10, "+OK\r\n"}});
            retype(w, "deviceEdit", QStringLiteral("Label"));
            click(w, "modifyButton");
        });
        click(f.window, "modifyButton");
        EXPECT_TRUE(*modified);
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_EQ(f.rows(), (Rows{kTwoRows[0], {"Label", "192.168.0.21:19100"}, {"Scale", "192.168.0.30:9100"}}));
}

TEST(ClientModeWindow, EachOpeningReadsTheDeviceAgain) {
    Fixture f;
    f.open(loadSteps());
    f.open(loadSteps("3||Meter|10.0.0.7:80\r\n+OK 10.0.0.1:81\r\n"));
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.rows(), (Rows{{"Meter", "10.0.0.7:80"}}));
    EXPECT_EQ(f.host()->octets(), (IpAddressEdit::Octets{10, 0, 0, 1}));
    EXPECT_EQ(textOf(f.window, "hostPortEdit"), QStringLiteral("81"));
}

// The Client Setting window asks for the host alone, before a change to Client mode.
TEST(ClientSettingWindow, EachOpeningReadsTheHost) {
    const QString imperfect = QStringLiteral("Get Server Devices is imperfect. Try again.");
    struct Case {
        const char* reply;
        QStringList messages;
        int reconnects;
        IpAddressEdit::Octets host;
        const char* port;
    };
    const Case cases[] = {
        {"1||Printer|192.168.0.20:9100\r\n+OK 10.0.0.5:9100\r\n", {}, 0, {10, 0, 0, 5}, "9100"},
        {"+OK 10.0.0.300:19100\r\n", {}, 0, {10, 0, 0, 44}, "19100"},
        {"1||Printer|192.168.0.20:9100\r\n+OK 10.0.0.5:9100", {imperfect}, 0, {}, ""},
        {"-ERR\r\n", {QStringLiteral("Input IP Address and Port Number.")}, 0, {}, ""},
        {"",
         {QStringLiteral("Get Server host address is timeout. Check Lumeno-KVX and Try again.")},
         1,
         {},
         ""},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ClientSettingWindow w(session, prompter);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Client Setting"));
        // An earlier opening's host is not shown again by one that cannot read it.
        session.expect("Serv\r\n", 1, "+OK 10.9.9.9:9999\r\n");
        runOpened(w);
        session.expect("Serv\r\n", 1, c.reply);
        EXPECT_EQ(runOpened(w), QDialog::Rejected) << c.reply;
        EXPECT_TRUE(session.done()) << c.reply;
        EXPECT_EQ(prompter.messages, c.messages) << c.reply;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.reply;
        EXPECT_EQ(child<IpAddressEdit>(w, "hostAddressEdit")->octets(), c.host) << c.reply;
        EXPECT_EQ(textOf(w, "hostPortEdit"), QLatin1String(c.port)) << c.reply;
    }
}

TEST(ClientSettingWindow, OkChecksThenSendsTheHostAndClosesOnAPlainOk) {
    struct Case {
        IpAddressEdit::Octets host;
        const char* port;
        Steps steps;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Step send{"Serv 10.0.0.5:9100\r\n", 10, "+OK\r\n"};
    const Case cases[] = {
        {kThreeFields, "", {}, false, {QStringLiteral("Fill the HOST IP Address and HOST Port Number.")}, 0},
        {kThreeFields, "9100", {}, false, {QStringLiteral("Fill the HOST IP Address.")}, 0},
        {{10, 0, 0, 5}, "", {}, false, {QStringLiteral("Fill the HOST Port Number.")}, 0},
        {{10, 0, 0, 5}, "9100", {send}, true, {}, 0},
        {{10, 0, 0, 5},
         "9100",
         {{"Serv 10.0.0.5:9100\r\n", 10, "+OK 10.0.0.5:9100\r\n"}},
         false,
         {QStringLiteral("Client Mode Setup Fail. Try again.")},
         0},
        {{10, 0, 0, 5},
         "9100",
         {{"Serv 10.0.0.5:9100\r\n", 10, ""}},
         false,
         {QStringLiteral("Set Server host address is timeout. Check Lumeno-KVX and Try again.")},
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ClientSettingWindow w(session, prompter);
        session.expect("Serv\r\n", 1, "-ERR\r\n");
        const int result = runOpened(w, [&] {
            prompter.messages.clear();
            child<IpAddressEdit>(w, "hostAddressEdit")->setOctets(c.host);
            retype(w, "hostPortEdit", QLatin1String(c.port));
            for (const Step& s : c.steps)
                session.expect(s.command, s.wait, s.reply);
            click(w, "okButton");
        });
        EXPECT_EQ(result == QDialog::Accepted, c.accepted) << c.port;
        EXPECT_TRUE(session.done()) << c.port;
        EXPECT_EQ(prompter.messages, c.messages) << c.port;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.port;
    }
}
