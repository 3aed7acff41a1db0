#include "controls/masked_edit.h"
#include "mode_window_driver.h"
#include "modes/add_device_window.h"
#include "modes/modify_device_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QRadioButton>

using namespace kvx;
using namespace kvx::test;
using Step = ScriptedSession::Step;
using Steps = std::vector<Step>;

namespace {

const EntryRows kRows = {{QStringLiteral("Printer"), QStringLiteral("9101")},
                         {QStringLiteral("12:34:56:78:90:AB"), QStringLiteral("9102")},
                         {QStringLiteral("Scale"), QStringLiteral("9103")}};

enum class Choice { None, Address, Name };

struct AddInput {
    Choice choice;
    const char* typed; // into the address edit or the name edit, as chosen
    const char* port;
};

void fill(AddDeviceWindow& w, const AddInput& in) {
    if (in.choice == Choice::Address) {
        click(w, "addressChoice");
        QTest::keyClicks(child<MaskedEdit>(w, "addressEdit"), QLatin1String(in.typed));
    } else if (in.choice == Choice::Name) {
        click(w, "nameChoice");
        retype(w, "nameEdit", QLatin1String(in.typed));
    }
    retype(w, "portEdit", QLatin1String(in.port));
}

} // namespace

TEST(AddDeviceWindow, OpensWithNoChoiceAndTheEditsFollowTheChoice) {
    ScriptedSession session;
    RecordingPrompter prompter;
    AddDeviceWindow w(session, prompter, kRows);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Add Device"));
    EXPECT_FALSE(child<QRadioButton>(w, "addressChoice")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(w, "nameChoice")->isChecked());
    EXPECT_FALSE(child<QWidget>(w, "addressEdit")->isEnabled());
    EXPECT_FALSE(child<QWidget>(w, "nameEdit")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(w, "portEdit")->maxLength(), 4);
    click(w, "nameChoice");
    EXPECT_FALSE(child<QWidget>(w, "addressEdit")->isEnabled());
    EXPECT_TRUE(child<QWidget>(w, "nameEdit")->isEnabled());
    click(w, "addressChoice");
    EXPECT_TRUE(child<QWidget>(w, "addressEdit")->isEnabled());
    EXPECT_FALSE(child<QWidget>(w, "nameEdit")->isEnabled());
}

TEST(AddDeviceWindow, ChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    struct Case {
        AddInput in;
        const char* message;
    };
    const Case cases[] = {
        {{Choice::None, "", "9105"}, "Fill the Bdaddr completely."},
        {{Choice::Address, "1234567890", ""}, "Fill the Bdaddr completely."},
        {{Choice::Address, "AABBCCDDEEFF", ""}, "Fill the Port Number."},
        {{Choice::Address, "1234567890AB", "9105"}, "Same BDADDR is exist. Try again."},
        {{Choice::Address, "AABBCCDDEEFF", "9101"}, "Same Port Number is exist. Try again."},
        {{Choice::Name, "", ""}, "Fill the Name."},
        {{Choice::Name, "Meter", ""}, "Fill the Port Number."},
        {{Choice::Name, "Printer", "9102"}, "Same Name is exist. Try again."},
        {{Choice::Name, "12:34:56:78:90:AB", "9105"}, "Same Name is exist. Try again."},
        {{Choice::Name, "Meter", "9103"}, "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        AddDeviceWindow w(session, prompter, kRows);
        w.show();
        fill(w, c.in);
        click(w, "addButton");
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << c.in.typed << " " << c.in.port;
        EXPECT_TRUE(session.sent.empty()) << c.message;
        EXPECT_TRUE(w.isVisible()) << c.message;
    }
}

TEST(AddDeviceWindow, BindsAndClosesOnlyOnAPlainOk) {
    const QString timeout = QStringLiteral("Add Device is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Add Device Fail. Try again.");
    struct Case {
        AddInput in;
        const char* command;
        const char* reply;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        // Names differ by case; the address goes out as the edit shows it.
        {{Choice::Name, "printer", "9105"}, "Bind printer 9105\r\n", "+OK\r\n", true, {}, 0},
        {{Choice::Address, "1234567890ac", "9105"},
         "Bind 12:34:56:78:90:ac 9105\r\n",
         "+OK\r\n",
         true,
         {},
         0},
        {{Choice::Name, "Meter", "9105"}, "Bind Meter 9105\r\n", "-ERR\r\n", false, {failed}, 0},
        {{Choice::Name, "Meter", "9105"}, "Bind Meter 9105\r\n", "+OK bound\r\n", false, {failed}, 0},
        {{Choice::Name, "Meter", "9105"}, "Bind Meter 9105\r\n", "", false, {timeout}, 1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        AddDeviceWindow w(session, prompter, kRows);
        w.show();
        fill(w, c.in);
        session.expect(c.command, 10, c.reply);
        click(w, "addButton");
        EXPECT_TRUE(session.done()) << c.command;
        EXPECT_EQ(w.isVisible(), !c.accepted) << c.command;
        EXPECT_EQ(w.result() == QDialog::Accepted, c.accepted) << c.command;
        EXPECT_EQ(prompter.messages, c.messages) << c.command;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.command;
    }
}

TEST(AddDeviceWindow, GivesTheChosenValueToTheTable) {
    ScriptedSession session;
    RecordingPrompter prompter;
    AddDeviceWindow w(session, prompter, kRows);
    fill(w, {Choice::Address, "AABBCCDDEEFF", "9105"});
    click(w, "nameChoice");
    retype(w, "nameEdit", QStringLiteral("Meter"));
    EXPECT_EQ(w.entry().bdaddrOrName, QStringLiteral("Meter"));
    click(w, "addressChoice");
    EXPECT_EQ(w.entry().bdaddrOrName, QStringLiteral("AA:BB:CC:DD:EE:FF"));
    EXPECT_EQ(w.entry().endpoint, QStringLiteral("9105"));
}

TEST(ModifyDeviceWindow, ChecksInTheirOrderAndSendsNothingOnAFailedOne) {
    struct Case {
        const char* device;
        const char* port;
        const char* message;
    };
    const Case cases[] = {
        {"", "", "Fill the Bdaddr and Port Number."},
        {"", "9101", "Fill the Bdaddr."},
        {"Printer", "", "Fill the Port Number."},
        {"Scale", "9101", "Same BDADDR/Name is exist. Try again."},
        {"Printer", "9103", "Same Port Number is exist. Try again."},
        {"printer", "9102", "Same Port Number is exist. Try again."},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ModifyDeviceWindow w(session, prompter, kRows, 0);
        w.show();
        retype(w, "deviceEdit", QLatin1String(c.device));
        retype(w, "portEdit", QLatin1String(c.port));
        click(w, "modifyButton");
        EXPECT_EQ(prompter.messages, QStringList{QLatin1String(c.message)}) << c.device << " " << c.port;
        EXPECT_TRUE(session.sent.empty()) << c.message;
        EXPECT_TRUE(w.isVisible()) << c.message;
    }
}

TEST(ModifyDeviceWindow, ReleasesTheOldPortThenBindsAndPutsTheOldEntryBackWhenTheBindFails) {
    const QString timeout = QStringLiteral("Device modification is timeout. Check Lumeno-KVX and Try again.");
    const QString failed = QStringLiteral("Device modification is Failed. Try again.");
    const Step release{"Rele 9101\r\n", 0, "+OK\r\n"};
    const Step restore{"Bind Printer 9101\r\n", 10, "+OK\r\n"};
    struct Case {
        const char* name;
        const char* device;
        const char* port;
        Steps steps;
        bool accepted;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"unchanged", "Printer", "9101", {release, {"Bind Printer 9101\r\n", 10, "+OK\r\n"}}, true, {}, 0},
        {"changed", "Meter", "9105", {release, {"Bind Meter 9105\r\n", 10, "+OK\r\n"}}, true, {}, 0},
        {"release refused", "Meter", "9105", {{"Rele 9101\r\n", 0, "-ERR\r\n"}}, false, {failed}, 0},
        {"release silent", "Meter", "9105", {{"Rele 9101\r\n", 0, ""}}, false, {timeout}, 1},
        {"bind refused",
         "Meter",
         "9105",
         {release, {"Bind Meter 9105\r\n", 10, "-ERR\r\n"}, restore},
         false,
         {failed},
         0},
        {"bind silent",
         "Meter",
         "9105",
         {release, {"Bind Meter 9105\r\n", 10, ""}, restore},
         false,
         {timeout},
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        ModifyDeviceWindow w(session, prompter, kRows, 0);
        w.show();
        EXPECT_EQ(textOf(w, "deviceEdit"), QStringLiteral("Printer"));
        EXPECT_EQ(textOf(w, "portEdit"), QStringLiteral("9101"));
        retype(w, "deviceEdit", QLatin1String(c.device));
        retype(w, "portEdit", QLatin1String(c.port));
        for (const Step& s : c.steps)
            session.expect(s.command, s.wait, s.reply);
        click(w, "modifyButton");
        EXPECT_TRUE(session.done()) << c.name;
        EXPECT_EQ(w.isVisible(), !c.accepted) << c.name;
        EXPECT_EQ(prompter.messages, c.messages) << c.name;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.name;
        if (c.accepted) {
            EXPECT_EQ(w.entry().bdaddrOrName, QLatin1String(c.device)) << c.name;
            EXPECT_EQ(w.entry().endpoint, QLatin1String(c.port)) << c.name;
        }
    }
}

TEST(ModifyDeviceWindow, ARetryAfterARefusedBindReleasesTheOldPortAgain) {
    ScriptedSession session;
    RecordingPrompter prompter;
    ModifyDeviceWindow w(session, prompter, kRows, 2);
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

TEST(ModifyDeviceWindow, TheLimitStopsOnlyTypingAndARowsLongerPortStaysWhole) {
    EntryRows rows = kRows;
    rows.push_back({QStringLiteral("Meter"), QStringLiteral("10001")});
    ScriptedSession session;
    RecordingPrompter prompter;
    ModifyDeviceWindow unchanged(session, prompter, rows, 3);
    unchanged.show();
    EXPECT_EQ(textOf(unchanged, "portEdit"), QStringLiteral("10001"));
    session.expect("Rele 10001\r\n", 0, "+OK\r\n");
    session.expect("Bind Meter 10001\r\n", 10, "+OK\r\n");
    click(unchanged, "modifyButton");
    EXPECT_TRUE(session.done());
    EXPECT_FALSE(unchanged.isVisible());

    ModifyDeviceWindow typed(session, prompter, rows, 0);
    retype(typed, "portEdit", QStringLiteral("123456"));
    EXPECT_EQ(textOf(typed, "portEdit"), QStringLiteral("1234"));
}
