// The simulated device's Server and Client mode commands, and the windows that use them, over loopback.
#include "controls/ip_address_edit.h"
#include "core/device_session.h"
#include "link_session.h"
#include "mode_window_driver.h"
#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/entry_window.h"
#include "modes/server_mode_window.h"
#include "recording_prompter.h"

#include <QCheckBox>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

const char* const kDevices =
    "1|00:1B:DC:0F:B1:01||9101\r\n2||Handheld Scanner|9102\r\n3|00:1B:DC:0F:B1:03||9103\r\n";
const char* const kServers =
    "1|00:1B:DC:0F:C1:01||192.168.0.20:9100\r\n2||Label Printer|192.168.0.21:9100\r\n";

// The windows' way to the device: a logged-in link to a fresh simulated device.
} // namespace

TEST(SimulatedServerClient, QueriesPutTheirValuesWhereTheWindowsCutThem) {
    LoggedInLink s;
    EXPECT_EQ(s.ask("Port"), "+OK PORT 9100\r\n");
    EXPECT_EQ(s.ask("prsv"), "+OK PRSV off\r\n");
    const std::string kato = s.ask("kato");
    EXPECT_EQ(kato.substr(9, 4), "600 ") << kato;
    EXPECT_EQ(s.ask("Bind"), std::string(kDevices) + "+OK\r\n");
    EXPECT_EQ(s.ask("Serv"), std::string(kServers) + "+OK 192.168.0.10:9100\r\n");
    EXPECT_EQ(s.ask("Rept"), "+OK REPEAT every 3000 ms\r\n");
    EXPECT_EQ(s.ask("Psist"), "+OK PERSIST on\r\n");
}

TEST(SimulatedServerClient, SetsAndTableChangesAreCheckedAndReadBack) {
    LoggedInLink s;
    struct Case {
        const char* command;
        const char* reply;
    };
    const Case cases[] = {
        {"Port 9200", "+OK\r\n"},
        {"Port 92000", "-ERR Invalid value\r\n"},
        {"Port", "+OK PORT 9200\r\n"},
        {"prsv on", "+OK\r\n"},
        {"prsv", "+OK PRSV on\r\n"},
        {"kato 300 10 3", "+OK\r\n"},
        {"kato 300", "-ERR Invalid value\r\n"},
        {"kato", "+OK KATO 300 10 3\r\n"},
        {"Bind Label printer 9104", "+OK\r\n"},
        {"Bind Other 9104", "-ERR Already registered\r\n"},
        {"Bind Handheld Scanner 9105", "-ERR Already registered\r\n"},
        {"Bind 00:1B:DC:0F:B1:01 9105", "-ERR Already registered\r\n"},
        {"Bind AA:BB:CC:DD:EE:FF 9105", "+OK\r\n"},
        {"Rele 9101", "+OK\r\n"},
        {"Rele 9101", "-ERR No such entry\r\n"},
        {"Bind", "2||Handheld Scanner|9102\r\n3|00:1B:DC:0F:B1:03||9103\r\n4||Label printer|9104\r\n"
                 "5|AA:BB:CC:DD:EE:FF||9105\r\n+OK\r\n"},
        {"Serv 10.0.0.5:9100", "+OK\r\n"},
        {"Serv 10.0.0.300:9100", "-ERR Invalid value\r\n"},
        {"Serv 10.0.0.7:9100 Scale", "+OK\r\n"},
        {"Serv 10.0.0.8:9100 Scale", "-ERR Already registered\r\n"},
        {"Serv 10.0.0.7:9100 Meter", "-ERR Already registered\r\n"},
        {"Serv 10.0.0.7:19100 Meter", "+OK\r\n"},
        {"DelServ Label Printer", "+OK\r\n"},
        {"DelServ Label Printer", "-ERR No such entry\r\n"},
        {"Serv",
         "1|00:1B:DC:0F:C1:01||192.168.0.20:9100\r\n3||Scale|10.0.0.7:9100\r\n4||Meter|10.0.0.7:19100\r\n"
         "+OK 10.0.0.5:9100\r\n"},
        {"Rept 5000", "+OK REPEAT every 5000 ms\r\n"},
        {"Rept soon", "-ERR Invalid value\r\n"},
        {"Rept", "+OK REPEAT every 5000 ms\r\n"},
        {"Psist off", "+OK PERSIST off\r\n"},
        {"Psist maybe", "-ERR Invalid value\r\n"},
        {"Psist", "+OK PERSIST off\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.ask(c.command), c.reply) << c.command;
}

TEST(SimulatedServerClient, ServerModeWindowRoundTrip) {
    LinkSession session;
    RecordingPrompter prompter;
    ServerModeWindow window(session, prompter);
    const auto table = [&] {
        return child<QTreeWidget>(window, "deviceTable");
    };
    runOpened(window, [&] {
        EXPECT_EQ(rowsOf(table()).size(), 3u);
        retype(window, "portEdit", QStringLiteral("9200"));
        child<QCheckBox>(window, "keepSocketCheck")->click();
        click(window, "applyButton");

        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            click(w, "nameChoice");
            retype(w, "nameEdit", QStringLiteral("Scale"));
            retype(w, "portEdit", QStringLiteral("9104"));
            click(w, "addButton");
        });
        click(window, "addButton");

        clickRow(table(), 1);
        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            retype(w, "portEdit", QStringLiteral("9112"));
            click(w, "modifyButton");
        });
        click(window, "modifyButton");

        clickRow(table(), 0);
        click(window, "deleteButton");
    });
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(session.ask("Port"), "+OK PORT 9200\r\n");
    EXPECT_EQ(session.ask("prsv"), "+OK PRSV on\r\n");
    EXPECT_EQ(session.ask("Bind"),
              "3|00:1B:DC:0F:B1:03||9103\r\n4||Scale|9104\r\n5||Handheld Scanner|9112\r\n+OK\r\n");
    // The next opening shows the device's table.
    runOpened(window);
    EXPECT_EQ(rowsOf(table()),
              (Rows{{"00:1B:DC:0F:B1:03", "9103"}, {"Scale", "9104"}, {"Handheld Scanner", "9112"}}));
    EXPECT_EQ(textOf(window, "portEdit"), QStringLiteral("9200"));
}

TEST(SimulatedServerClient, AModifyTheDeviceRefusesKeepsTheOldDevice) {
    LinkSession session;
    RecordingPrompter prompter;
    ServerModeWindow window(session, prompter);
    runOpened(window, [&] {
        // Another manager takes a port after this window read the table.
        EXPECT_EQ(session.ask("Bind Meter 9120"), "+OK\r\n");
        clickRow(child<QTreeWidget>(window, "deviceTable"), 0);
        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            retype(w, "portEdit", QStringLiteral("9120"));
            click(w, "modifyButton");
            EXPECT_TRUE(w.isVisible());
        });
        click(window, "modifyButton");
    });
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Device modification is Failed. Try again.")});
    EXPECT_EQ(session.ask("Bind"),
              "2||Handheld Scanner|9102\r\n3|00:1B:DC:0F:B1:03||9103\r\n4||Meter|9120\r\n"
              "5|00:1B:DC:0F:B1:01||9101\r\n+OK\r\n");
}

TEST(SimulatedServerClient, ClientModeWindowRoundTrip) {
    LinkSession session;
    RecordingPrompter prompter;
    ClientModeWindow window(session, prompter);
    const auto table = [&] {
        return child<QTreeWidget>(window, "serverTable");
    };
    const int result = runOpened(window, [&] {
        EXPECT_EQ(rowsOf(table()).size(), 2u);
        EXPECT_EQ(child<IpAddressEdit>(window, "hostAddressEdit")->text(), QStringLiteral("192.168.0.10"));
        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            QTest::keyClicks(child<QLineEdit>(w, "addressEdit"), QStringLiteral("00AABBCCDDEE"));
            child<IpAddressEdit>(w, "serverAddressEdit")->setOctets({10, 0, 0, 7});
            retype(w, "serverPortEdit", QStringLiteral("19100"));
            click(w, "addButton");
        });
        click(window, "addButton");

        clickRow(table(), 1);
        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            child<IpAddressEdit>(w, "addressEdit")->setOctets({10, 0, 0, 8});
            click(w, "modifyButton");
        });
        click(window, "modifyButton");

        clickRow(table(), 0);
        click(window, "deleteButton");

        child<IpAddressEdit>(window, "hostAddressEdit")->setOctets({10, 0, 0, 5});
        retype(window, "intervalEdit", QStringLiteral("5000"));
        child<QCheckBox>(window, "reconnectCheck")->click();
        click(window, "applyButton");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(session.ask("Serv"), "3|00:AA:BB:CC:DD:EE||10.0.0.7:19100\r\n4||Label Printer|10.0.0.8:9100\r\n"
                                   "+OK 10.0.0.5:9100\r\n");
    EXPECT_EQ(session.ask("Rept"), "+OK REPEAT every 5000 ms\r\n");
    EXPECT_EQ(session.ask("Psist"), "+OK PERSIST off\r\n");

    runOpened(window);
    EXPECT_EQ(rowsOf(table()),
              (Rows{{"00:AA:BB:CC:DD:EE", "10.0.0.7:19100"}, {"Label Printer", "10.0.0.8:9100"}}));
    EXPECT_FALSE(child<QCheckBox>(window, "reconnectCheck")->isChecked());
}

TEST(SimulatedServerClient, AModifyTheDeviceRefusesKeepsTheOldServer) {
    LinkSession session;
    RecordingPrompter prompter;
    ClientModeWindow window(session, prompter);
    runOpened(window, [&] {
        EXPECT_EQ(session.ask("Serv 10.0.0.9:9100 Meter"), "+OK\r\n");
        clickRow(child<QTreeWidget>(window, "serverTable"), 1);
        whenOpened<EntryWindow>(window, [&](EntryWindow& w) {
            child<IpAddressEdit>(w, "addressEdit")->setOctets({10, 0, 0, 9});
            click(w, "modifyButton");
            EXPECT_TRUE(w.isVisible());
        });
        click(window, "modifyButton");
    });
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Device modification is Failed. Try again.")});
    EXPECT_EQ(session.ask("Serv"), "1|00:1B:DC:0F:C1:01||192.168.0.20:9100\r\n3||Meter|10.0.0.9:9100\r\n"
                                   "4||Label Printer|192.168.0.21:9100\r\n+OK 192.168.0.10:9100\r\n");
}

TEST(SimulatedServerClient, ClientSettingSetsTheHost) {
    LinkSession session;
    RecordingPrompter prompter;
    ClientSettingWindow window(session, prompter);
    const int result = runOpened(window, [&] {
        EXPECT_EQ(child<IpAddressEdit>(window, "hostAddressEdit")->text(), QStringLiteral("192.168.0.10"));
        EXPECT_EQ(textOf(window, "hostPortEdit"), QStringLiteral("9100"));
        retype(window, "hostPortEdit", QStringLiteral("9300"));
        click(window, "okButton");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(session.ask("Serv").substr(std::string(kServers).size()), "+OK 192.168.0.10:9300\r\n");
}
