// The Add and Modify windows of the registered device table (Server mode) and of the server table
// (Client mode): one window, four forms, and each case a row for the form it concerns.
#include "controls/ip_address_edit.h"
#include "controls/masked_edit.h"
#include "mode_window_driver.h"
#include "modes/entry_forms.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QRadioButton>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;
using Octets = IpAddressEdit::Octets;

namespace {

// A row as the device listed it.
EntryRow listed(const char* name, const char* endpoint) {
    return {DeviceText::read(name), DeviceText::read(endpoint)};
}

const EntryRows kDeviceRows = {listed("Printer", "9101"), listed("12:34:56:78:90:AB", "9102"),
                               listed("Scale", "9103")};
const EntryRows kServerRows = {listed("Printer", "192.168.0.20:9100"),
                               listed("12:34:56:78:90:AB", "192.168.0.21:9100"),
                               listed("Scale", "192.168.0.22:19100")};
const Octets kThreeFields{192, 168, 0, std::nullopt};

// A form with the rows it edits and the names of its fields, as the operator's tools find them.
struct Editor {
    const char* name;
    const EntryForm& form;
    const EntryRows& rows;
    const char* port;
    const char* address; // nullptr: the device table has none
};
const Editor kAddDevice{"Add Device", kAddDeviceForm, kDeviceRows, "portEdit", nullptr};
const Editor kAddServer{"Add Server", kAddServerForm, kServerRows, "serverPortEdit", "serverAddressEdit"};
const Editor kModifyDevice{"Modify Device", kModifyDeviceForm, kDeviceRows, "portEdit", nullptr};
const Editor kModifyServer{"Modify Server", kModifyServerForm, kServerRows, "portEdit", "addressEdit"};

enum class Choice { AsOpened, Address, Name };

struct AddInput {
    Choice choice;
    const char* typed; // into the address edit or the name edit, as chosen
    Octets server;     // the Add Server window's only
    const char* port;
};

void fill(EntryWindow& w, const Editor& e, const AddInput& in) {
    if (in.choice == Choice::Name) {
        click(w, "nameChoice");
        retype(w, "nameEdit", QLatin1String(in.typed));
    } else {
        if (in.choice == Choice::Address)
            click(w, "addressChoice");
        QTest::keyClicks(child<MaskedEdit>(w, "addressEdit"), QLatin1String(in.typed));
    }
    if (e.address)
        child<IpAddressEdit>(w, e.address)->setOctets(in.server);
    retype(w, e.port, QLatin1String(in.port));
}

std::string context(const Editor& e, const char* detail) {
    return std::string(e.name) + ": " + detail;
}

} // namespace

TEST(EntryWindow, AddOpensOnItsChoiceAndTheEditsFollowTheChoice) {
    struct Case {
        const Editor& editor;
        const char* title;
        bool addressEnabled; // neither button shows as chosen either way
        int portLength;
    };
    const Case cases[] = {{kAddDevice, "Add Device", false, 4}, {kAddServer, "Add Server", true, 5}};
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, c.editor.form, c.editor.rows);
        EXPECT_EQ(w.windowTitle(), QLatin1String(c.title));
        EXPECT_FALSE(child<QRadioButton>(w, "addressChoice")->isChecked()) << c.title;
        EXPECT_FALSE(child<QRadioButton>(w, "nameChoice")->isChecked()) << c.title;
        EXPECT_EQ(child<QWidget>(w, "addressEdit")->isEnabled(), c.addressEnabled) << c.title;
        EXPECT_FALSE(child<QWidget>(w, "nameEdit")->isEnabled()) << c.title;
        EXPECT_EQ(child<QLineEdit>(w, c.editor.port)->maxLength(), c.portLength) << c.title;
        click(w, "nameChoice");
        EXPECT_FALSE(child<QWidget>(w, "addressEdit")->isEnabled()) << c.title;
        EXPECT_TRUE(child<QWidget>(w, "nameEdit")->isEnabled()) << c.title;
        click(w, "addressChoice");
        EXPECT_TRUE(child<QWidget>(w, "addressEdit")->isEnabled()) << c.title;
        EXPECT_FALSE(child<QWidget>(w, "nameEdit")->isEnabled()) << c.title;
    }
}

TEST(EntryWindow, AddChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    const Octets server{192, 168, 0, 30};
    struct Case {
        const Editor& editor;
        AddInput in;
        const char* message;
    };
    const Case cases[] = {
        {kAddDevice, {Choice::AsOpened, "", {}, "9105"}, "Fill the Bdaddr completely."},
        {kAddDevice, {Choice::Address, "1234567890", {}, ""}, "Fill the Bdaddr completely."},
        {kAddDevice, {Choice::Address, "AABBCCDDEEFF", {}, ""}, "Fill the Port Number."},
        {kAddDevice, {Choice::Address, "1234567890AB", {}, "9105"}, "Same BDADDR is exist. Try again."},
        {kAddDevice, {Choice::Address, "AABBCCDDEEFF", {}, "9101"}, "Same Port Number is exist. Try again."},
        {kAddDevice, {Choice::Name, "", {}, ""}, "Fill the Name."},
        {kAddDevice, {Choice::Name, "Meter", {}, ""}, "Fill the Port Number."},
        {kAddDevice, {Choice::Name, "Printer", {}, "9102"}, "Same Name is exist. Try again."},
        {kAddDevice, {Choice::Name, "12:34:56:78:90:AB", {}, "9105"}, "Same Name is exist. Try again."},
        {kAddDevice, {Choice::Name, "Meter", {}, "9103"}, "Same Port Number is exist. Try again."},
        // The server address comes first, before the entry choice is looked at.
        {kAddServer,
         {Choice::Name, "", kThreeFields, ""},
         "Fill the Server IP Address and Server Port Number."},
        {kAddServer, {Choice::Name, "", kThreeFields, "9100"}, "Fill the Server IP Address."},
        {kAddServer, {Choice::Name, "", server, ""}, "Fill the Server Port Number."},
        {kAddServer, {Choice::Name, "", server, "9100"}, "Fill the Name."},
        {kAddServer, {Choice::Name, "Printer", server, "9100"}, "Same Name is exist. Try again."},
        {kAddServer,
         {Choice::Name, "Meter", {192, 168, 0, 20}, "9100"},
         "Same Server Port Number is exist. Try again."},
        {kAddServer, {Choice::AsOpened, "1234", server, "9100"}, "Fill the Bdaddr completely."},
        {kAddServer, {Choice::AsOpened, "1234567890AB", server, "9100"}, "Same BDADDR is exist. Try again."},
        {kAddServer,
         {Choice::AsOpened, "AABBCCDDEEFF", {192, 168, 0, 22}, "19100"},
         "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, c.editor.form, c.editor.rows);
        w.show();
        fill(w, c.editor, c.in);
        click(w, "addButton");
        const std::string name = context(c.editor, c.message);
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << name << " " << c.in.typed;
        EXPECT_TRUE(session.sent.empty()) << name;
        EXPECT_TRUE(w.isVisible()) << name;
    }
}

TEST(EntryWindow, AddSendsAndClosesOnlyOnAPlainOk) {
    const QString deviceTimeout = QStringLiteral("Add Device is timeout. Check Lumeno-KVX and Try again.");
    const QString deviceFailed = QStringLiteral("Add Device Fail. Try again.");
    const QString serverTimeout = QStringLiteral("Add Server is timeout. Check Lumeno-KVX and Try again.");
    const QString serverFailed = QStringLiteral("Add Server Fail. Try again.");
    const Octets server{192, 168, 0, 30};
    struct Case {
        const Editor& editor;
        AddInput in;
        const char* command;
        const char* reply;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        // Names differ by case; the address goes out as the edit shows it.
        {kAddDevice, {Choice::Name, "printer", {}, "9105"}, "Bind printer 9105\r\n", "+OK\r\n", true, {}, 0},
        {kAddDevice,
         {Choice::Address, "1234567890ac", {}, "9105"},
         "Bind 12:34:56:78:90:ac 9105\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {kAddDevice,
         {Choice::Name, "Meter", {}, "9105"},
         "Bind Meter 9105\r\n",
         "-ERR\r\n",
         false,
         {deviceFailed},
         0},
        {kAddDevice,
         {Choice::Name, "Meter", {}, "9105"},
         "Bind Meter 9105\r\n",
         "+OK bound\r\n",
         false,
         {deviceFailed},
         0},
        {kAddDevice,
         {Choice::Name, "Meter", {}, "9105"},
         "Bind Meter 9105\r\n",
         "",
         false,
         {deviceTimeout},
         1},
        {kAddServer,
         {Choice::Name, "printer", {192, 168, 0, 20}, "9101"},
         "Serv 192.168.0.20:9101 printer\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {kAddServer,
         {Choice::AsOpened, "AABBCCDDEEFF", server, "9100"},
         "Serv 192.168.0.30:9100 AA:BB:CC:DD:EE:FF\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {kAddServer,
         {Choice::Name, "Meter", server, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        // Five digits are compared whole.
        {kAddServer,
         {Choice::Name, "Meter", {192, 168, 0, 22}, "9100"},
         "Serv 192.168.0.22:9100 Meter\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {kAddServer,
         {Choice::Name, "Meter", server, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "-ERR\r\n",
         false,
         {serverFailed},
         0},
        {kAddServer,
         {Choice::Name, "Meter", server, "9100"},
         "Serv 192.168.0.30:9100 Meter\r\n",
         "",
         false,
         {serverTimeout},
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, c.editor.form, c.editor.rows);
        w.show();
        fill(w, c.editor, c.in);
        session.expect(c.command, 10, c.reply);
        click(w, "addButton");
        const std::string name = context(c.editor, c.command) + c.reply;
        EXPECT_TRUE(session.done()) << name;
        EXPECT_EQ(w.isVisible(), !c.accepted) << name;
        EXPECT_EQ(w.result() == QDialog::Accepted, c.accepted) << name;
        EXPECT_EQ(prompter.messages, c.messages) << name;
        EXPECT_EQ(session.reconnects, c.reconnects) << name;
    }
}

TEST(EntryWindow, AddGivesTheChosenValueToTheTable) {
    ScriptedSession session;
    RecordingPrompter prompter;
    EntryWindow w(session, prompter, kAddDeviceForm, kDeviceRows);
    fill(w, kAddDevice, {Choice::Address, "AABBCCDDEEFF", {}, "9105"});
    click(w, "nameChoice");
    retype(w, "nameEdit", QStringLiteral("Meter"));
    EXPECT_EQ(w.entry().bdaddrOrName.shown, QStringLiteral("Meter"));
    click(w, "addressChoice");
    EXPECT_EQ(w.entry().bdaddrOrName.shown, QStringLiteral("AA:BB:CC:DD:EE:FF"));
    EXPECT_EQ(w.entry().endpoint.shown, QStringLiteral("9105"));
}

TEST(EntryWindow, ModifyChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    struct Case {
        const Editor& editor;
        const char* device;
        Octets address; // the Modify Server window's only
        const char* port;
        const char* message;
    };
    const Case cases[] = {
        {kModifyDevice, "", {}, "", "Fill the Bdaddr and Port Number."},
        {kModifyDevice, "", {}, "9101", "Fill the Bdaddr."},
        {kModifyDevice, "Printer", {}, "", "Fill the Port Number."},
        {kModifyDevice, "Scale", {}, "9101", "Same BDADDR/Name is exist. Try again."},
        {kModifyDevice, "Printer", {}, "9103", "Same Port Number is exist. Try again."},
        {kModifyDevice, "printer", {}, "9102", "Same Port Number is exist. Try again."},
        {kModifyServer, "", kThreeFields, "", "Fill the Bdaddr and Port Number."},
        {kModifyServer, "", {192, 168, 0, 20}, "", "Fill the Bdaddr."},
        {kModifyServer, "Printer", kThreeFields, "", "Fill the Port Number."},
        {kModifyServer, "Printer", kThreeFields, "9100", "Fill the IP Address."},
        {kModifyServer, "Scale", {192, 168, 0, 20}, "9100", "Same BDADDR/Name is exist. Try again."},
        {kModifyServer, "printer", {192, 168, 0, 21}, "9100", "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, c.editor.form, c.editor.rows, 0);
        w.show();
        retype(w, "deviceEdit", QLatin1String(c.device));
        if (c.editor.address)
            child<IpAddressEdit>(w, c.editor.address)->setOctets(c.address);
        retype(w, c.editor.port, QLatin1String(c.port));
        click(w, "modifyButton");
        const std::string name = context(c.editor, c.message);
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << name << " " << c.device;
        EXPECT_TRUE(session.sent.empty()) << name;
        EXPECT_TRUE(w.isVisible()) << name;
    }
}

TEST(EntryWindow, ModifyDeletesTheOldEntryThenAddsAndPutsTheOldOneBackWhenTheAddFails) {
    const QString deviceTimeout =
        QStringLiteral("Device modification is timeout. Check Lumeno-KVX and Try again.");
    const QString serverTimeout =
        QStringLiteral("Server modification is timeout. Check Lumeno-KVX and Try again.");
    // The Modify Server window tells a refusal in the Modify Device window's words.
    const QString failed = QStringLiteral("Device modification is Failed. Try again.");
    const Step release{"Rele 9101\r\n", 0, "+OK\r\n"};
    const Step rebind{"Bind Printer 9101\r\n", 10, "+OK\r\n"};
    const Step deletion{"DelServ Scale\r\n", 0, "+OK\r\n"};
    const Step readd{"Serv 192.168.0.22:19100 Scale\r\n", 10, "+OK\r\n"};
    struct Case {
        const Editor& editor;
        int row;
        const char* name;
        const char* device;
        const char* port; // nullptr: as the row has it
        Steps steps;
        bool accepted;
        QStringList messages;
        int reconnects;
        const char* endpoint; // the entry after OK
    };
    const Case cases[] = {
        {kModifyDevice, 0, "unchanged", "Printer", "9101", {release, rebind}, true, {}, 0, "9101"},
        {kModifyDevice,
         0,
         "changed",
         "Meter",
         "9105",
         {release, {"Bind Meter 9105\r\n", 10, "+OK\r\n"}},
         true,
         {},
         0,
         "9105"},
        {kModifyDevice,
         0,
         "release refused",
         "Meter",
         "9105",
         {{"Rele 9101\r\n", 0, "-ERR\r\n"}},
         false,
         {failed},
         0,
         ""},
        {kModifyDevice,
         0,
         "release silent",
         "Meter",
         "9105",
         {{"Rele 9101\r\n", 0, ""}},
         false,
         {deviceTimeout},
         1,
         ""},
        {kModifyDevice,
         0,
         "bind refused",
         "Meter",
         "9105",
         {release, {"Bind Meter 9105\r\n", 10, "-ERR\r\n"}, rebind},
         false,
         {failed},
         0,
         ""},
        {kModifyDevice,
         0,
         "bind silent",
         "Meter",
         "9105",
         {release, {"Bind Meter 9105\r\n", 10, ""}, rebind},
         false,
         {deviceTimeout},
         1,
         ""},
        // A five-digit port stays whole in the editor.
        {kModifyServer,
         2,
         "unchanged",
         "Scale",
         nullptr,
         {deletion, readd},
         true,
         {},
         0,
         "192.168.0.22:19100"},
        {kModifyServer,
         2,
         "renamed",
         "Meter",
         nullptr,
         {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, "+OK\r\n"}},
         true,
         {},
         0,
         "192.168.0.22:19100"},
        {kModifyServer,
         2,
         "deletion refused",
         "Meter",
         nullptr,
         {{"DelServ Scale\r\n", 0, "-ERR\r\n"}},
         false,
         {failed},
         0,
         ""},
        {kModifyServer,
         2,
         "deletion silent",
         "Meter",
         nullptr,
         {{"DelServ Scale\r\n", 0, ""}},
         false,
         {serverTimeout},
         1,
         ""},
        {kModifyServer,
         2,
         "add refused",
         "Meter",
         nullptr,
         {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, "-ERR\r\n"}, readd},
         false,
         {failed},
         0,
         ""},
        {kModifyServer,
         2,
         "add silent",
         "Meter",
         nullptr,
         {deletion, {"Serv 192.168.0.22:19100 Meter\r\n", 10, ""}, readd},
         false,
         {serverTimeout},
         1,
         ""},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        EntryWindow w(session, prompter, c.editor.form, c.editor.rows, c.row);
        w.show();
        const std::string name = context(c.editor, c.name);
        const EntryRow& start = c.editor.rows.at(std::size_t(c.row));
        EXPECT_EQ(textOf(w, "deviceEdit"), start.bdaddrOrName.shown) << name;
        if (c.editor.address) {
            EXPECT_EQ(child<IpAddressEdit>(w, c.editor.address)->octets(), (Octets{192, 168, 0, 22})) << name;
            EXPECT_EQ(textOf(w, c.editor.port), QStringLiteral("19100")) << name;
        } else {
            EXPECT_EQ(textOf(w, c.editor.port), start.endpoint.shown) << name;
        }
        retype(w, "deviceEdit", QLatin1String(c.device));
        if (c.port)
            retype(w, c.editor.port, QLatin1String(c.port));
        for (const Step& s : c.steps)
            session.expect(s.command, s.wait, s.reply);
        click(w, "modifyButton");
        EXPECT_TRUE(session.done()) << name;
        EXPECT_EQ(w.isVisible(), !c.accepted) << name;
        EXPECT_EQ(prompter.messages, c.messages) << name;
        EXPECT_EQ(session.reconnects, c.reconnects) << name;
        if (c.accepted) {
            EXPECT_EQ(w.entry().bdaddrOrName.shown, QLatin1String(c.device)) << name;
            EXPECT_EQ(w.entry().endpoint.shown, QLatin1String(c.endpoint)) << name;
        }
    }
}

TEST(EntryWindow, ARetryAfterARefusedBindReleasesTheOldPortAgain) {
    ScriptedSession session;
    RecordingPrompter prompter;
    EntryWindow w(session, prompter, kModifyDeviceForm, kDeviceRows, 2);
    w.show();
    retype(w, "portEdit", QStringLiteral("9105"));
    session.expect("Rele 9103\r\n", 0, "+OK\r\n");
    session.expect("Bind Scale 9105\r\n", 10, "-ERR\r\n");
    session.expect("Bind Scale 9103\r\n", 10, "+OK\r\n");
    click(w, "modifyButton");
    session.expect("Rele 9103\r\n", 0, "+OK\r\n");
    session.expect("Bind Scale 9105\r\n", 10, "+OK\r\n");
    click(w, "modifyButton");
    EXPECT_TRUE(session.done());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Device modification is Failed. Try again.")});
}

TEST(EntryWindow, ModifyDeviceLimitStopsOnlyTypingAndARowsLongerPortStaysWhole) {
    EntryRows rows = kDeviceRows;
    rows.push_back(listed("Meter", "10001"));
    ScriptedSession session;
    RecordingPrompter prompter;
    EntryWindow unchanged(session, prompter, kModifyDeviceForm, rows, 3);
    unchanged.show();
    EXPECT_EQ(textOf(unchanged, "portEdit"), QStringLiteral("10001"));
    session.expect("Rele 10001\r\n", 0, "+OK\r\n");
    session.expect("Bind Meter 10001\r\n", 10, "+OK\r\n");
    click(unchanged, "modifyButton");
    EXPECT_TRUE(session.done());
    EXPECT_FALSE(unchanged.isVisible());

    EntryWindow typed(session, prompter, kModifyDeviceForm, rows, 0);
    retype(typed, "portEdit", QStringLiteral("123456"));
    EXPECT_EQ(textOf(typed, "portEdit"), QStringLiteral("1234"));
}

TEST(EntryWindow, ModifyServerWritesTheOldEntryOutFromItsOctets) {
    ScriptedSession session;
    RecordingPrompter prompter;
    const EntryRows rows = {listed("Lamp", "10.0.0.300:80")};
    EntryWindow w(session, prompter, kModifyServerForm, rows, 0);
    EXPECT_EQ(child<IpAddressEdit>(w, "addressEdit")->octets(), (Octets{10, 0, 0, 44}));
    retype(w, "portEdit", QStringLiteral("81"));
    session.expect("DelServ Lamp\r\n", 0, "+OK\r\n");
    session.expect("Serv 10.0.0.44:81 Lamp\r\n", 10, "-ERR\r\n");
    session.expect("Serv 10.0.0.44:80 Lamp\r\n", 10, "+OK\r\n");
    click(w, "modifyButton");
    EXPECT_TRUE(session.done());
}
