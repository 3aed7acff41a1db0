#include "controls/ip_address_edit.h"
#include "mode_window_driver.h"
#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/entry_forms.h"
#include "modes/entry_window.h"
#include "modes/serial_port_window.h"
#include "modes/server_mode_window.h"
#include "modes/vertex_mode_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"
#include "ui/window_load.h"

#include <QCheckBox>
#include <QHeaderView>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;

namespace {

const char* const kTwoDevices = "1|00:1B:DC:0F:B1:01||9101\r\n2||Printer|9102\r\n+OK\r\n";
const Rows kTwoRows = {{"00:1B:DC:0F:B1:01", "9101"}, {"Printer", "9102"}};
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
    ASSERT_EQ(table->columnCount(), 2);
    const QTreeWidgetItem* header = table->headerItem();
    EXPECT_EQ(header->text(0), QStringLiteral("          BDADDR/Name"));
    EXPECT_EQ(header->text(1), QStringLiteral("       Port "));
    // Widths in pixels, scaled alike by the desktop's font.
    const double scale = table->columnWidth(0) / 195.0;
    EXPECT_GE(scale, 1.0);
    EXPECT_NEAR(table->columnWidth(1), 107 * scale, 1.0);
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
    EXPECT_EQ(f.rows()[5], (std::vector<std::string>{"Scale", "9106"}));
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
        EXPECT_EQ(f.rows()[1], confirm ? (std::vector<std::string>{"Label printer", "9110"}) : kTwoRows[1]);
    }
}

TEST(ServerModeWindow, EachOpeningRebuildsTheTableAndShowsThePickedRow) {
    Fixture f;
    f.open(loadSteps(), [&] { clickRow(f.table(), 1); });
    f.open(loadSteps("7||Scale|9107\r\n8||Meter|9108\r\n9||Lamp|9109\r\n+OK\r\n"), [&] {
        ASSERT_EQ(f.table()->selectedItems().size(), 1);
        EXPECT_EQ(f.table()->selectedItems().first()->text(0), QStringLiteral("Meter"));
        f.session.expect("Rele 9108\r\n", 10, "+OK\r\n");
        click(f.window, "deleteButton");
        // The same index picks the row that moved up into it.
        ASSERT_EQ(f.table()->selectedItems().size(), 1);
        EXPECT_EQ(f.table()->selectedItems().first()->text(0), QStringLiteral("Lamp"));
    });
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.rows(), (Rows{{"Scale", "9107"}, {"Lamp", "9109"}}));
}

// ---- What every settings window of the modes sends ----------------------------------------------------

namespace {

// A settings window as its owner opens it, with a load that reads every value, and what an operator
// does in it before pressing the button that sends.
struct SettingsWindow {
    const char* name;
    std::function<std::unique_ptr<QDialog>(ScriptedSession&, RecordingPrompter&)> make;
    Steps load;
    std::function<void(QDialog&)> fill;
    const char* button;
    Steps sends; // after the whole load
};

template <class W> std::function<std::unique_ptr<QDialog>(ScriptedSession&, RecordingPrompter&)> made() {
    return [](ScriptedSession& s, RecordingPrompter& p) {
        return std::make_unique<W>(s, p);
    };
}

enum WindowIndex { Server, Client, Vertex, Serial, ClientSetting, AddDevice, ModifyServer };

const std::vector<SettingsWindow>& settingsWindows() {
    static const EntryRows servers{{DeviceText::read("Printer"), DeviceText::read("192.168.0.20:9100")}};
    static const std::vector<SettingsWindow> windows = {
        {"Server Mode",
         made<ServerModeWindow>(),
         loadSteps(),
         [](QDialog& w) { retype(w, "portEdit", QStringLiteral("9101")); },
         "applyButton",
         {{"Port 9101\r\n", 1, "+OK\r\n"},
          {"prsv on\r\n", 1, "+OK\r\n"},
          {"kato 300 10 3\r\n", 1, "+OK\r\n"}}},
        {"Client Mode",
         made<ClientModeWindow>(),
         {{"Serv\r\n", 1, "+OK 192.168.0.10:9100\r\n"},
          {"Rept\r\n", 0, "+OK REPEAT every 5000 ms\r\n"},
          {"Psist\r\n", 0, "+OK PERSIST on\r\n"}},
         [](QDialog& w) {
             // A host that a failed load leaves out is typed in whole.
             child<IpAddressEdit>(w, "hostAddressEdit")->setOctets({10, 0, 0, 5});
             retype(w, "hostPortEdit", QStringLiteral("9101"));
         },
         "applyButton",
         {{"Serv 10.0.0.5:9101\r\n", 10, "+OK\r\n"},
          {"Rept 5000\r\n", 0, "+OK REPEAT every 5000 ms\r\n"},
          {"Psist on\r\n", 0, "+OK PERSIST on\r\n"}}},
        {"Vertex Mode",
         made<VertexModeWindow>(),
         {{"Vertex\r\n", 10, "+OK PORT 9100 MAX 7\r\n"}},
         [](QDialog& w) {
             retype(w, "portEdit", QStringLiteral("9200"));
             retype(w, "maximumEdit", QStringLiteral("7"));
         },
         "applyButton",
         {{"Vertex 9200 7\r\n", 10, "+OK PORT 9200 MAX 7\r\n"}}},
        {"Serial Port Setup",
         made<SerialPortWindow>(),
         {{"rs232\r\n", 1, "+OK RS232 9600 7E2 xonoff\r\n"}},
         [](QDialog&) {},
         "okButton",
         {{"rs232 9600 7E2 xonoff\r\n", 1, "+OK\r\n"}}},
        {"Client Setting",
         made<ClientSettingWindow>(),
         {{"Serv\r\n", 1, "+OK 10.0.0.5:9100\r\n"}},
         [](QDialog&) {},
         "okButton",
         {}},
        {"Add Device",
         [](ScriptedSession& s, RecordingPrompter& p) {
             return std::make_unique<EntryWindow>(s, p, kAddDeviceForm, EntryRows{});
         },
         {},
         [](QDialog& w) {
             click(w, "nameChoice");
             retype(w, "nameEdit", QStringLiteral("Meter"));
         },
         "addButton",
         {}},
        {"Modify Server",
         [](ScriptedSession& s, RecordingPrompter& p) {
             return std::make_unique<EntryWindow>(s, p, kModifyServerForm, servers, 0);
         },
         {},
         [](QDialog&) {},
         "modifyButton",
         {}},
    };
    return windows;
}

struct Opened {
    explicit Opened(const SettingsWindow& w, const Steps& load) {
        session.capabilityLine = "+OK PRSV KATO";
        for (const Step& s : load) {
            if (s.unaskedBefore)
                session.expectAfterUnasked(s.command, s.wait, s.reply);
            else
                session.expect(s.command, s.wait, s.reply);
        }
        window = w.make(session, prompter);
    }
    ScriptedSession session;
    RecordingPrompter prompter;
    std::unique_ptr<QDialog> window;
};

Steps withReply(Steps steps, std::size_t index, const char* reply, bool endsThere) {
    steps[index].reply = reply;
    if (endsThere)
        steps.resize(index + 1);
    return steps;
}

} // namespace

// Apply (or OK) writes only values this opening read whole on this connection, and says why otherwise.
TEST(SettingsWindows, SendOnlyWhatTheirLoadReadWhole) {
    const Steps server = settingsWindows()[Server].load;
    const Steps client = settingsWindows()[Client].load;
    // A load that met it sends nothing more.
    Steps disturbed(server.begin(), server.begin() + 3);
    disturbed[2].unaskedBefore = true;
    struct Case {
        WindowIndex window;
        const char* name;
        Steps load;
        bool sends;
        bool shownAgainUnread = false; // closed after the load, then shown without one
    };
    const Case cases[] = {
        {Server, "whole", server, true},
        {Server, "kato silent, the load goes on", withReply(server, 2, "", false), false},
        {Server, "prsv refused", withReply(server, 1, "-ERR\r\n", true), false},
        {Server, "a reply nobody asked for", disturbed, false},
        {Server, "the table refused after the values", withReply(server, 3, "-ERR\r\n", true), true},
        {Server, "closed and shown again unread", server, false, true},
        {Client, "whole", client, true},
        {Client, "Serv refused, the load goes on", withReply(client, 0, "-ERR\r\n", false), false},
        {Client, "Psist silent", withReply(client, 2, "", true), false},
        {Vertex, "whole", settingsWindows()[Vertex].load, true},
        {Vertex, "refused", withReply(settingsWindows()[Vertex].load, 0, "-ERR\r\n", true), false},
        {Serial, "whole", settingsWindows()[Serial].load, true},
        {Serial, "refused", withReply(settingsWindows()[Serial].load, 0, "-ERR\r\n", true), false},
    };
    for (const Case& c : cases) {
        const SettingsWindow& w = settingsWindows()[c.window];
        const std::string name = std::string(w.name) + ": " + c.name;
        Opened o(w, c.load);
        const auto press = [&] {
            o.prompter.messages.clear();
            w.fill(*o.window);
            if (c.sends)
                for (const Step& s : w.sends)
                    o.session.expect(s.command, s.wait, s.reply);
            click(*o.window, w.button);
        };
        if (c.shownAgainUnread) {
            runOpened(*o.window);
            o.window->show();
            press();
        } else {
            runOpened(*o.window, press);
        }
        EXPECT_TRUE(o.session.done()) << name;
        EXPECT_EQ(o.prompter.messages.contains(unreadValuesText()), !c.sends) << name;
    }
}

// Numbers the device would misread are refused by name and range before anything is sent.
TEST(SettingsWindows, RefuseNumbersOutsideTheirRangeByName) {
    const QString dataPort = QStringLiteral("Default Data Port must be a whole number from 1000 to 9999.");
    const QString maximum = QStringLiteral("Max Number of Connections must be a whole number from 1 to 7.");
    const QString entryPort = QStringLiteral("PORT Number must be a whole number from 1 to 65535.");
    struct Case {
        WindowIndex window;
        const char* field;
        const char* text;
        QString message;
    };
    const Case cases[] = {
        {Server, "portEdit", "abc", dataPort},
        {Server, "portEdit", "999", dataPort},
        {Server, "keepAliveEdit", "",
         QStringLiteral("KeepAlive Timeout must be a whole number from 1 to 86400.")},
        {Client, "hostPortEdit", "0", QStringLiteral("Port must be a whole number from 1 to 65535.")},
        {Client, "intervalEdit", "5 s",
         QStringLiteral("Connection interval time (ms) must be a whole number from 100 to 3600000.")},
        {ClientSetting, "hostPortEdit", "65536",
         QStringLiteral("HOST Port Number must be a whole number from 1 to 65535.")},
        {Vertex, "maximumEdit", "abc", maximum},
        {Vertex, "maximumEdit", "", maximum},
        {Vertex, "maximumEdit", "8", maximum},
        {Vertex, "maximumEdit", "07", maximum}, // the device reports one character
        {Vertex, "portEdit", "x1", QStringLiteral("Vertex Port must be a whole number from 1000 to 9999.")},
        {AddDevice, "portEdit", "91a", entryPort},
        {ModifyServer, "portEdit", "0", entryPort},
    };
    for (const Case& c : cases) {
        const SettingsWindow& w = settingsWindows()[c.window];
        Opened o(w, w.load);
        runOpened(*o.window, [&] {
            w.fill(*o.window);
            child<QLineEdit>(*o.window, c.field)->setText(QLatin1String(c.text));
            click(*o.window, w.button);
            EXPECT_TRUE(o.window->isVisible()) << c.field;
        });
        EXPECT_TRUE(o.session.done()) << w.name << " " << c.field << " " << c.text;
        EXPECT_EQ(o.prompter.messages, QStringList{c.message}) << w.name << " " << c.field << " " << c.text;
    }
}
