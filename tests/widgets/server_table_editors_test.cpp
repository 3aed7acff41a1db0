#include "controls/ip_address_edit.h"
#include "controls/masked_edit.h"
#include "mode_window_driver.h"
#include "modes/add_server_window.h"
#include "modes/client_setting_window.h"
#include "modes/modify_server_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QRadioButton>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;
using Octets = IpAddressEdit::Octets;

namespace {

const EntryRows kRows = {{QStringLiteral("Printer"), QStringLiteral("192.168.0.20:9100")},
                         {QStringLiteral("12:34:56:78:90:AB"), QStringLiteral("192.168.0.21:9100")},
                         {QStringLiteral("Scale"), QStringLiteral("192.168.0.22:19100")}};
const Octets kThreeFields{192, 168, 0, std::nullopt};

struct AddInput {
    bool byName;
    const char* typed; // into the name edit, or into the address edit when not empty
    Octets server;
    const char* port;
};

void fill(AddServerWindow& w, const AddInput& in) {
    if (in.byName) {
        click(w, "nameChoice");
        retype(w, "nameEdit", QLatin1String(in.typed));
    } else {
        QTest::keyClicks(child<MaskedEdit>(w, "addressEdit"), QLatin1String(in.typed));
    }
    child<IpAddressEdit>(w, "serverAddressEdit")->setOctets(in.server);
    retype(w, "serverPortEdit", QLatin1String(in.port));
}

} // namespace

TEST(AddServerWindow, OpensOnTheAddressChoiceWithoutShowingIt) {
    ScriptedSession session;
    RecordingPrompter prompter;
    AddServerWindow w(session, prompter, kRows);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Add Server"));
    EXPECT_FALSE(child<QRadioButton>(w, "addressChoice")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(w, "nameChoice")->isChecked());
    EXPECT_TRUE(child<QWidget>(w, "addressEdit")->isEnabled());
    EXPECT_FALSE(child<QWidget>(w, "nameEdit")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(w, "serverPortEdit")->maxLength(), 5);
}

TEST(AddServerWindow, ChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    struct Case {
        AddInput in;
        const char* message;
    };
    const Case cases[] = {
        // The server address comes first, before the entry choice is looked at.
        {{true, "", kThreeFields, ""}, "Fill the Server IP Address and Server Port Number."},
        {{true, "", kThreeFields, "9100"}, "Fill the Server IP Address."},
        {{true, "", {192, 168, 0, 30}, ""}, "Fill the Server Port Number."},
        {{true, "", {192, 168, 0, 30}, "9100"}, "Fill the Name."},
        {{true, "Printer", {192, 168, 0, 30}, "9100"}, "Same Name is exist. Try again."},
        {{true, "Meter", {192, 168, 0, 20}, "9100"}, "Same Server Port Number is exist. Try again."},
        {{false, "1234", {192, 168, 0, 30}, "9100"}, "Fill the Bdaddr completely."},
        {{false, "1234567890AB", {192, 168, 0, 30}, "9100"}, "Same BDADDR is exist. Try again."},
        {{false, "AABBCCDDEEFF", {192, 168, 0, 22}, "19100"}, "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        AddServerWindow w(session, prompter, kRows);
        w.show();
        fill(w, c.in);
        click(w, "addButton");
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << c.message;
        EXPECT_TRUE(session.sent.empty()) << c.message;
        EXPECT_TRUE(w.isVisible()) << c.message;
    }
}

TEST(AddServerWindow, AddsAndClosesOnlyOnAPlainOk) {
    const QString timeout = QStringLiteral("Add Server is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Add Server Fail. Try again.");
    struct Case {
        AddInput in;
        const char* command;
        const char* reply;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {{true, "printer", {192, 168, 0, 20}, "9101"},
         "Serv 192.168.0.20:9101 printer\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {{false, "AABBCCDDEEFF", {192, 168, 0, 30}, "9100"},
         "Serv 192.168.0.30:9100 AA:BB:CC:DD:EE:FF\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {{true, "Meter", {192, 168, 0, 30}, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        // Five digits are compared whole.
        {{true, "Meter", {192, 168, 0, 22}, "9100"},
         "Serv 192.168.0.22:9100 Meter\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {{true, "Meter", {192, 168, 0, 30}, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "-ERR\r\n",
         false,
         {failed},
         0},
        {{true, "Meter", {192, 168, 0, 30}, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "",
         false,
         {timeout},
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        AddServerWindow w(session, prompter, kRows);
        w.show();
        fill(w, c.in);
        session.expect(c.command, 10, c.reply);
        click(w, "addButton");
        EXPECT_TRUE(session.done()) << c.command;
        EXPECT_EQ(w.isVisible(), !c.accepted) << c.command;
        EXPECT_EQ(prompter.messages, c.messages) << c.command;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.command;
    }
}

TEST(ModifyServerWindow, ChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    struct Case {
        const char* device;
        Octets address;
        const char* port;
        const char* message;
    };
    const Case cases[] = {
        {"", kThreeFields, "", "Fill the Bdaddr and Port Number."},
        {"", {192, 168, 0, 20}, "", "Fill the Bdaddr."},
        {"Printer", kThreeFields, "", "Fill the Port Number."},
        {"Printer", kThreeFields, "9100", "Fill the IP Address."},
        {"Scale", {192, 168, 0, 20}, "9100", "Same BDADDR/Name is exist. Try again."},
        {"printer", {192, 168, 0, 21}, "9100", "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ModifyServerWindow w(session, prompter, kRows, 0);
        w.show();
        retype(w, "deviceEdit", QLatin1String(c.device));
        child<IpAddressEdit>(w, "addressEdit")->setOctets(c.address);
        retype(w, "portEdit", QLatin1String(c.port));
        click(w, "modifyButton");
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << c.message;
        EXPECT_TRUE(session.sent.empty()) << c.message;
        EXPECT_TRUE(w.isVisible()) << c.message;
    }
}

TEST(ModifyServerWindow, DeletesTheOldEntryThenAddsAndPutsTheOldOneBackWhenTheAddFails) {
    const QString timeout = QStringLiteral("Server modification is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Device modification is Failed. Try again.");
    const Step deletion{"DelServ Scale\r\n", 0, "+OK\r\n"};
    const Step restore{"Serv 192.168.0.22:19100 Scale\r\n", 10, "+OK\r\n"};
    struct Case {
        const char* name;
        const char* device;
        Steps steps;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"unchanged", "Scale", {deletion, {"Serv 192.168.0.22:19100 Scale\r\n", 10, "+OK\r\n"}}, true, {}, 0},
        {"renamed", "Meter", {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, "+OK\r\n"}}, true, {}, 0},
        {"deletion refused", "Meter", {{"DelServ Scale\r\n", 0, "-ERR\r\n"}}, false, {failed}, 0},
        {"deletion silent", "Meter", {{"DelServ Scale\r\n", 0, ""}}, false, {timeout}, 1},
        {"add refused",
         "Meter",
         {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, "-ERR\r\n"}, restore},
         false,
         {failed},
         0},
        {"add silent",
         "Meter",
         {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, ""}, restore},
         false,
         {timeout},
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ModifyServerWindow w(session, prompter, kRows, 2);
        w.show();
        // A five-digit port stays whole in the editor.
        EXPECT_EQ(textOf(w, "portEdit"), QStringLiteral("19100"));
        EXPECT_EQ(child<IpAddressEdit>(w, "addressEdit")->octets(), (Octets{192, 168, 0, 22}));
        retype(w, "deviceEdit", QLatin1String(c.device));
        for (const Step& s : c.steps)
            session.expect(s.command, s.wait, s.reply);
        click(w, "modifyButton");
        EXPECT_TRUE(session.done()) << c.name;
        EXPECT_EQ(w.isVisible(), !c.accepted) << c.name;
        EXPECT_EQ(prompter.messages, c.messages) << c.name;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.name;
        if (c.accepted)
            EXPECT_EQ(w.entry().endpoint, QStringLiteral("192.168.0.22:19100")) << c.name;
    }
}

TEST(ModifyServerWindow, TheOldEntryIsWrittenOutFromItsOctets) {
    ScriptedSession session;
    RecordingPrompter prompter;
    const EntryRows rows = {{QStringLiteral("Lamp"), QStringLiteral("10.0.0.300:80")}};
    ModifyServerWindow w(session, prompter, rows, 0);
    EXPECT_EQ(child<IpAddressEdit>(w, "addressEdit")->octets(), (Octets{10, 0, 0, 44}));
    retype(w, "portEdit", QStringLiteral("81"));
    session.expect("DelServ Lamp\r\n", 0, "+OK\r\n");
    session.expect("Serv 10.0.0.44:81 Lamp\r\n", 10, "-ERR\r\n");
    session.expect("Serv 10.0.0.44:80 Lamp\r\n", 10, "+OK\r\n");
    click(w, "modifyButton");
    EXPECT_TRUE(session.done());
}

TEST(ClientSettingWindow, EachOpeningReadsTheHost) {
    const QString imperfect = QStringLiteral("Get Server Devices is imperfect. Try again.");
    struct Case {
        const char* reply;
        QStringList messages;
        int reconnects;
        Octets host;
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
        Octets host;
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
