// The Vertex, Serial Port Setup and Repeater windows and the Repeater page against the simulated device,
// over a real connection: what they read is what the device holds, and what they set it keeps.
#include "core/device_session.h"
#include "link_session.h"
#include "modes/serial_port_window.h"
#include "modes/vertex_mode_window.h"
#include "pages/repeater_page.h"
#include "pages/repeater_station_window.h"
#include "recording_prompter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// A session over a logged-in link; the capability line is read as the main window reads it.
template <typename W> W* find(const QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(const QWidget& window, const char* name) {
    QTest::mouseClick(find<QPushButton>(window, name), Qt::LeftButton);
}

void type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

int run(QDialog& window, const std::function<void()>& act) {
    QTimer::singleShot(0, &window, [&] {
        act();
        if (window.isVisible())
            window.reject();
    });
    return window.exec();
}

} // namespace

TEST(SimVertexSerialRepeater, VertexWindowReadsAndSetsPortAndMaximum) {
    LinkSession session;
    RecordingPrompter prompter;
    VertexModeWindow window(session, prompter);
    QString port;
    QString maximum;
    EXPECT_EQ(run(window,
                  [&] {
                      port = find<QLineEdit>(window, "portEdit")->text();
                      maximum = find<QLineEdit>(window, "maximumEdit")->text();
                      type(find<QLineEdit>(window, "portEdit"), QStringLiteral("9200"));
                      type(find<QLineEdit>(window, "maximumEdit"), QStringLiteral("5"));
                      click(window, "applyButton");
                  }),
              QDialog::Accepted);
    EXPECT_EQ(port, QStringLiteral("9100"));
    EXPECT_EQ(maximum, QStringLiteral("7"));
    EXPECT_EQ(session.ask("Vertex"), "+OK PORT 9200 MAX 5\r\n");

    // A port the device would misread is refused before anything is sent.
    EXPECT_EQ(run(window,
                  [&] {
                      EXPECT_EQ(find<QLineEdit>(window, "portEdit")->text(), QStringLiteral("9200"));
                      type(find<QLineEdit>(window, "portEdit"), QStringLiteral("80"));
                      click(window, "applyButton");
                  }),
              QDialog::Rejected);
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Vertex Port must be a whole number from 1000 to 9999.")});
    EXPECT_EQ(session.ask("Vertex"), "+OK PORT 9200 MAX 5\r\n");
    EXPECT_EQ(session.reconnects, 0);
}

TEST(SimVertexSerialRepeater, SerialPortWindowReadsAndSetsTheLine) {
    LinkSession session;
    RecordingPrompter prompter;
    {
        SerialPortWindow window(session, prompter);
        const auto list = [&](const char* name) {
            return find<QComboBox>(window, name);
        };
        EXPECT_EQ(list("baudCombo")->currentText(), QStringLiteral("9600"));
        EXPECT_EQ(list("flowCombo")->currentText(), QStringLiteral("None"));
        const std::pair<const char*, const char*> choices[] = {{"baudCombo", "57600"},
                                                               {"dataBitsCombo", "7 bit"},
                                                               {"parityCombo", "Odd"},
                                                               {"stopBitsCombo", "2 bit"},
                                                               {"flowCombo", "Xon/Xoff"}};
        EXPECT_EQ(run(window,
                      [&] {
                          for (auto [name, text] : choices)
                              list(name)->setCurrentIndex(list(name)->findText(QLatin1String(text)));
                          click(window, "okButton");
                      }),
                  QDialog::Accepted);
    }
    EXPECT_EQ(session.ask("rs232"), "+OK RS232 57600 7O2 xonoff\r\n");
    SerialPortWindow again(session, prompter);
    EXPECT_EQ(find<QComboBox>(again, "parityCombo")->currentText(), QStringLiteral("Odd"));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST(SimVertexSerialRepeater, StationWindowReadsAndSetsTheAddress) {
    sim::DeviceOptions options;
    options.stationAddress = "00:1B:DC:0F:B0:01";
    LinkSession session(options);
    RecordingPrompter prompter;
    RepeaterStationWindow window(session, prompter);
    auto* address = find<QLineEdit>(window, "addressEdit");
    EXPECT_EQ(run(window,
                  [&] {
                      EXPECT_EQ(address->text(), QStringLiteral("00:1B:DC:0F:B0:01"));
                      address->setFocus();
                      address->clear();
                      QTest::keyClicks(address, QStringLiteral("zz1BDC0FB001"));
                      click(window, "okButton");
                      EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Failed.")});
                      address->clear();
                      QTest::keyClicks(address, QStringLiteral("0a1BDC0FB001"));
                      click(window, "okButton");
                  }),
              QDialog::Accepted);
    EXPECT_EQ(session.ask("station"), "+OK 0a:1B:DC:0F:B0:01\r\n");
}

TEST(SimVertexSerialRepeater, RepeaterPageShowsTheDevicesNetwork) {
    using Kind = sim::RepeaterLinkInfo::Kind;
    sim::DeviceOptions options;
    options.repeaterNetwork = {{Kind::Repeater, "Hub", "North", "00:1B:DC:0F:B1:01"},
                               {Kind::Repeater, "Hub", "South", "00:1B:DC:0F:B1:02"},
                               {Kind::Repeater, "North", "Far", "00:1B:DC:0F:B1:03"},
                               {Kind::EndDevice, "Far", "Scale", "00:1B:DC:0F:A1:05"},
                               {Kind::EndDevice, "South", "Printer", "00:1B:DC:0F:A1:02"}};
    LinkSession session(options);
    RecordingPrompter prompter;
    RepeaterPage page(session, prompter);
    page.load();
    EXPECT_TRUE(prompter.messages.isEmpty());
    const auto* tree = find<QTreeWidget>(page, "repeaterTree");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    const QTreeWidgetItem* hub = tree->topLevelItem(0);
    EXPECT_EQ(hub->text(0), QStringLiteral("Hub"));
    ASSERT_EQ(hub->childCount(), 2);
    EXPECT_EQ(hub->child(0)->text(0), QStringLiteral("South ( 00:1B:DC:0F:B1:02 )"));
    EXPECT_EQ(hub->child(0)->child(0)->text(0), QStringLiteral("Printer ( 00:1B:DC:0F:A1:02 )"));
    EXPECT_EQ(hub->child(1)->child(0)->text(0), QStringLiteral("Far ( 00:1B:DC:0F:B1:03 )"));
    EXPECT_EQ(hub->child(1)->child(0)->child(0)->text(0), QStringLiteral("Scale ( 00:1B:DC:0F:A1:05 )"));
}

TEST(SimVertexSerialRepeater, DefaultNetworkHasLevelsAndTheFunctionCanBeSwitchedOff) {
    {
        LinkSession session;
        RecordingPrompter prompter;
        RepeaterPage page(session, prompter);
        page.load();
        const QTreeWidgetItem* root = find<QTreeWidget>(page, "repeaterTree")->topLevelItem(0);
        ASSERT_NE(root, nullptr);
        const std::function<int(const QTreeWidgetItem*)> levels = [&](const QTreeWidgetItem* item) {
            int below = 0;
            for (int i = 0; i < item->childCount(); ++i)
                below = std::max(below, levels(item->child(i)));
            return below + 1;
        };
        EXPECT_GE(levels(root), 4) << "the device and three levels below it";
    }
    sim::DeviceOptions options;
    options.capabilities = "PRSV KATO";
    LinkSession session(options);
    RecordingPrompter prompter;
    RepeaterPage page(session, prompter);
    page.load();
    EXPECT_FALSE(find<QPushButton>(page, "refreshButton")->isEnabled());
    EXPECT_EQ(find<QTreeWidget>(page, "repeaterTree")->topLevelItemCount(), 0);
}

TEST(SimVertexSerialRepeater, DeviceChecksWhatItIsGiven) {
    LinkSession session;
    const char* const refused[] = {"Vertex 0900 5",
                                   "Vertex 9100 8",
                                   "Vertex 9100",
                                   "Vertex 99999 1",
                                   "rs232 9601 8N1 none",
                                   "rs232 9600 8X1 none",
                                   "rs232 9600 8N1 rts",
                                   "rs232 9600 8N1",
                                   "station 00:11:22:33:44",
                                   "station zz:11:22:33:44:55"};
    for (const char* command : refused)
        EXPECT_EQ(session.ask(command), "-ERR Invalid value\r\n") << command;
    EXPECT_EQ(session.ask("Vertex"), "+OK PORT 9100 MAX 7\r\n");
    EXPECT_EQ(session.ask("rs232"), "+OK RS232 9600 8N1 none\r\n");
}
