#include "core/device_link.h"
#include "platform/net.h"
#include "recording_prompter.h"
#include "sim_fixture.h"
#include "ui/console_pane.h"
#include "ui/search_connect_window.h"
#include "wait_for.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cerrno>
#include <gtest/gtest.h>
#include <thread>

using namespace kvx;
using namespace kvx::test;

namespace {

struct Fixture {
    explicit Fixture(DiscoveryTarget target, DeviceLink::Timing timing = {})
        : link(timing)
        , window(link, console, prompter,
                 {[this] {
                      ++loginWindowOpened;
                      return credentials;
                  },
                  [this] { ++replaced; },
                  [this] {
                      ++reconnects;
                  }},
                 std::move(target)) {}

    // Runs the window modally, performs the actions inside it, and closes it if they did not.
    int runWith(const std::function<void()>& actions) {
        QTimer::singleShot(0, &window, [&] {
            actions();
            if (window.isVisible())
                window.reject();
        });
        return window.run();
    }

    QLineEdit* ip() { return window.findChild<QLineEdit*>(QStringLiteral("ipAddressEdit")); }
    QLineEdit* port() { return window.findChild<QLineEdit*>(QStringLiteral("controlPortEdit")); }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(QLatin1String(name)); }
    QTreeWidget* list() { return window.findChild<QTreeWidget*>(QStringLiteral("deviceList")); }
    void type(const QString& ipText, const QString& portText) {
        ip()->setText(ipText);
        port()->setText(portText);
    }

    RecordingPrompter prompter;
    ConsolePane console;
    DeviceLink link;
    std::optional<Credentials> credentials = Credentials{"admin", "admin"};
    int loginWindowOpened = 0;
    int replaced = 0;
    int reconnects = 0;
    SearchConnectWindow window;
};

QString portText(const sim::SimulatedDevice& device) {
    return QString::number(device.controlPort());
}

QString systemText(int error) {
    return QString::fromStdString(net::errorText(error));
}

// A loopback port that nothing listens on, TCP or UDP.
std::uint16_t closedPort() {
    auto device = startDevice();
    return device->controlPort();
}

// A discovery peer that answers every request with the datagrams it was given, in order.
class ScriptedResponder {
public:
    explicit ScriptedResponder(std::vector<std::string> replies)
        : m_replies(std::move(replies))
        , m_socket(net::open(net::Type::Datagram)) {
        net::bind(m_socket, {0x7F000001, 0});
        m_port = net::localEndpoint(m_socket).value_or(net::Endpoint{}).port;
        m_thread = std::thread([this] {
            net::PollEntry entry{m_socket, net::kReadable};
            char buffer[64];
            net::Endpoint from;
            if (net::poll({&entry, 1}, 3000) <= 0 ||
                net::receiveFrom(m_socket, buffer, sizeof buffer, from) <= 0)
                return;
            for (const std::string& reply : m_replies)
                net::sendTo(m_socket, reply.data(), reply.size(), from);
        });
    }
    ~ScriptedResponder() {
        m_thread.join();
        net::close(m_socket);
    }
    std::uint16_t port() const { return m_port; }

private:
    std::vector<std::string> m_replies;
    net::Socket m_socket;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

} // namespace

TEST(SearchConnectWindow, ListLooksAsTheDeviceToolsShowIt) {
    auto device = startDevice();
    Fixture f(loopbackTarget(*device));
    f.runWith([&] {
        QTreeWidget* list = f.list();
        // The record's other fields have no column, not even a hidden one a screen reader would read.
        const QStringList captions{QStringLiteral("          Name"), QStringLiteral("        IPAddr"),
                                   QStringLiteral("            MAC")};
        // In pixels of the font they were chosen for; how they grow with a wider font is widget_setup_test's.
        const int widths[] = {140, 120, 142};
        ASSERT_EQ(list->columnCount(), 3);
        const double scale = list->columnWidth(0) / double(widths[0]);
        EXPECT_GE(scale, 1.0);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(list->headerItem()->text(c), captions[c]);
            EXPECT_NEAR(list->columnWidth(c), widths[c] * scale, 1.0) << c;
        }
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_FALSE(list->isSortingEnabled());
        EXPECT_FALSE(f.button("connectButton")->isEnabled());
    });
}

TEST(SearchConnectWindow, SearchListsTheDeviceAndARowFillsTheFields) {
    sim::DeviceOptions options;
    options.btName = "Bench-7";
    auto device = startDevice(options);
    Fixture f(loopbackTarget(*device));
    f.runWith([&] {
        QTest::mouseClick(f.button("searchButton"), Qt::LeftButton);
        ASSERT_EQ(f.list()->topLevelItemCount(), 1);
        const QTreeWidgetItem* row = f.list()->topLevelItem(0);
        EXPECT_EQ(row->text(0), QStringLiteral("Bench-7"));
        EXPECT_EQ(row->text(1), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(row->text(2), QStringLiteral("00:1A:2B:3C:4D:5E"));
        EXPECT_FALSE(f.button("connectButton")->isEnabled());

        f.list()->setCurrentItem(f.list()->topLevelItem(0));
        EXPECT_EQ(f.ip()->text(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(f.port()->text(), portText(*device));
        EXPECT_TRUE(f.button("connectButton")->isEnabled());
        EXPECT_EQ(f.window.deviceRecord().btName, "") << "the record is the connected device's";
    });
    EXPECT_TRUE(f.prompter.messages.isEmpty()) << f.prompter.messages.join(u'|').toStdString();
    EXPECT_EQ(device->discoveryRequestsAnswered(), 2u) << "the search is sent again, and listed once";
}

TEST(SearchConnectWindow, ADeviceIsListedOncePerMacAndAddressTheLaterOnTop) {
    const auto reply = [](const std::string& name, const std::string& mac, const std::string& ip) {
        sim::DeviceOptions o;
        o.btName = name;
        o.macAddress = mac;
        return sim::buildDiscoveryReply(o, ip, 4000);
    };
    const std::string mac1 = "00:00:00:00:00:01";
    struct Case {
        const char* name;
        std::vector<std::string> replies;
        QStringList rows;
    };
    const Case cases[] = {
        {"two devices",
         {reply("first", mac1, "10.0.0.7"), reply("second", "00:00:00:00:00:02", "10.0.0.7"),
          std::string(kDiscoveryMarker)},
         {QStringLiteral("second"), QStringLiteral("first")}},
        {"one MAC on two addresses",
         {reply("first", mac1, "10.0.0.7"), reply("second", mac1, "10.0.0.8")},
         {QStringLiteral("second"), QStringLiteral("first")}},
        {"one device answering twice",
         {reply("first", mac1, "10.0.0.7"), reply("first", mac1, "10.0.0.7")},
         {QStringLiteral("first")}},
    };
    for (const Case& c : cases) {
        ScriptedResponder responder(c.replies);
        Fixture f({"127.0.0.1", responder.port()});
        QStringList rows;
        f.runWith([&] {
            QTest::mouseClick(f.button("searchButton"), Qt::LeftButton);
            for (int row = 0; row < f.list()->topLevelItemCount(); ++row)
                rows << f.list()->topLevelItem(row)->text(0);
        });
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}

TEST(SearchConnectWindow, ConnectIsEnabledExactlyWhenBothFieldsHaveText) {
    auto device = startDevice();
    Fixture f(loopbackTarget(*device));
    struct Case {
        const char* ip;
        const char* port;
        bool enabled;
    };
    const Case cases[] = {
        {"", "", false}, {"1", "", false}, {"", "1", false}, {"x", "y", true}, {"", "", false}};
    f.runWith([&] {
        for (const Case& c : cases) {
            f.type(QLatin1String(c.ip), QLatin1String(c.port));
            EXPECT_EQ(f.button("connectButton")->isEnabled(), c.enabled) << c.ip << "/" << c.port;
        }
    });
}

TEST(SearchConnectWindow, EnterDoesNothing) {
    auto device = startDevice();
    Fixture f(loopbackTarget(*device));
    bool stillOpen = false;
    f.runWith([&] {
        f.type(QStringLiteral("127.0.0.1"), portText(*device));
        QTest::keyClick(f.port(), Qt::Key_Return);
        QTest::keyClick(&f.window, Qt::Key_Enter);
        stillOpen = f.window.isVisible();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(f.loginWindowOpened, 0);
    EXPECT_EQ(device->connectionsAccepted(), 0u);
}

TEST(SearchConnectWindow, ConnectByTypedAddressLogsIn) {
    auto device = startDevice();
    Fixture f(loopbackTarget(*device));
    const int result = f.runWith([&] {
        f.type(QStringLiteral("127.0.0.1"), portText(*device));
        QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(f.link.isConnected());
    EXPECT_EQ(f.window.deviceRecord().btName, "KVX-Trainer") << "the unicast probe fills the record";
    EXPECT_EQ(f.window.portNumber(), device->controlPort());
    EXPECT_EQ(f.replaced, 0) << "there was no connection to replace";
    EXPECT_TRUE(f.prompter.messages.isEmpty()) << f.prompter.messages.join(u'|').toStdString();
    EXPECT_EQ(device->receivedCommands(), (std::vector<std::string>{"User admin", "Pass admin"}));
    EXPECT_EQ(f.console.toPlainText(), QStringLiteral("User admin\n+OK Password required\nPass *****\n"
                                                      "+OK User Authenticated\n"));
}

TEST(SearchConnectWindow, AnUnlistedAddressKeepsTheRecordButTakesTheTypedAddress) {
    sim::DeviceOptions options;
    options.advertisedAddress = "10.1.2.3"; // the probe's answer names another address than the one typed
    options.btName = "Other";
    auto device = startDevice(options);
    Fixture f(loopbackTarget(*device));
    f.credentials.reset();
    const QString port = portText(*device) + QStringLiteral("a");
    const int result = f.runWith([&] {
        f.type(QStringLiteral("127.0.0.1"), port);
        QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
        EXPECT_EQ(device->connectionsAccepted(), 0u) << "a cancelled Login window stops before connecting";
        f.credentials = Credentials{"admin", "admin"};
        QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(f.window.deviceRecord().btName, "");
    EXPECT_EQ(f.window.deviceRecord().ipAddress, "127.0.0.1");
    EXPECT_EQ(f.window.deviceRecord().controlPort, port.toStdString());
    EXPECT_EQ(f.window.portNumber(), device->controlPort()) << "the digits before the letter";
    EXPECT_EQ(f.loginWindowOpened, 2);
}

TEST(SearchConnectWindow, FailuresShowTheirMessagesAndKeepTheWindowOpen) {
    struct Case {
        const char* name;
        std::function<void(sim::SimulatedDevice&, Fixture&)> arrange;
        bool useClosedPort;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"wrong password",
         [](sim::SimulatedDevice&, Fixture& f) {
             f.credentials = Credentials{"admin", "x"};
         },
         false,
         {QStringLiteral("Check User name and Password.")},
         0},
        {"nothing listens on the port",
         nullptr,
         true,
         {QStringLiteral("Lumeno-KVX Connection is failed.\n") + systemText(ECONNREFUSED)},
         0},
        {"silent after User",
         [](sim::SimulatedDevice& d, Fixture&) {
             sim::FaultOptions faults;
             faults.silentCommands = {"User"};
             d.setFaults(faults);
         },
         false,
         {QStringLiteral("Get UserID is timeout. Check Lumeno-KVX and Try again."),
          QStringLiteral("Check User name and Password.")},
         1},
        {"silent after Pass",
         [](sim::SimulatedDevice& d, Fixture&) {
             sim::FaultOptions faults;
             faults.silentCommands = {"Pass"};
             d.setFaults(faults);
         },
         false,
         {QStringLiteral("Get Password is timeout. Check Lumeno-KVX and Try again."),
          QStringLiteral("Check User name and Password.")},
         1},
    };
    for (const Case& c : cases) {
        auto device = startDevice();
        DeviceLink::Timing timing;
        timing.unlimitedWaitBound = std::chrono::milliseconds(300);
        Fixture f(loopbackTarget(*device), timing);
        if (c.arrange)
            c.arrange(*device, f);
        std::uint16_t port = device->controlPort();
        if (c.useClosedPort) {
            auto other = startDevice();
            port = other->controlPort();
        } // the other device is gone, its port closed
        bool stillOpen = false;
        QCoreApplication::processEvents();
        f.runWith([&] {
            f.type(QStringLiteral("127.0.0.1"), QString::number(port));
            QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
            stillOpen = f.window.isVisible();
        });
        QCoreApplication::processEvents();
        EXPECT_TRUE(stillOpen) << c.name;
        EXPECT_EQ(f.prompter.messages, c.messages)
            << c.name << ": " << f.prompter.messages.join(u'|').toStdString();
        EXPECT_EQ(f.reconnects, c.reconnects) << c.name;
        EXPECT_FALSE(f.link.isConnected()) << c.name;
    }
}

TEST(SearchConnectWindow, ReplacingAConnectionClearsTheConsoleAndTellsTheOwner) {
    auto device = startDevice();
    Fixture f(loopbackTarget(*device));
    const auto connectOnce = [&] {
        return f.runWith([&] {
            f.type(QStringLiteral("127.0.0.1"), portText(*device));
            QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
        });
    };
    ASSERT_EQ(connectOnce(), QDialog::Accepted);
    f.console.append("left over\r\n");
    ASSERT_EQ(connectOnce(), QDialog::Accepted);
    EXPECT_EQ(f.replaced, 1);
    EXPECT_FALSE(f.console.toPlainText().contains(QStringLiteral("left over")));
    EXPECT_EQ(device->connectionsAccepted(), 2u);
    f.runWith([&] { EXPECT_EQ(f.list()->topLevelItemCount(), 0); });
    EXPECT_EQ(f.window.deviceRecord().btName, "KVX-Trainer") << "the record outlives the opening";
}

TEST(SearchConnectWindow, FieldsOpenEmptyAndARecentDeviceFillsBothWithOneClick) {
    QSettings().remove(QStringLiteral("searchConnect"));
    auto device = startDevice();
    const QString port = portText(*device);
    {
        Fixture f(loopbackTarget(*device));
        ASSERT_EQ(f.runWith([&] {
            f.type(QStringLiteral("127.0.0.1"), port);
            QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
        }),
                  QDialog::Accepted);
        // Neither a connect that fails nor a cancelled opening becomes a recent device.
        f.runWith([&] {
            f.type(QStringLiteral("127.0.0.1"), QStringLiteral("1"));
            QTest::mouseClick(f.button("connectButton"), Qt::LeftButton);
            f.type(QStringLiteral("127.0.0.2"), QStringLiteral("2"));
        });
    }
    Fixture restarted(loopbackTarget(*device));
    restarted.runWith([&] {
        EXPECT_EQ(restarted.ip()->text() + restarted.port()->text(), QString());
        EXPECT_FALSE(restarted.button("connectButton")->isEnabled());
        EXPECT_EQ(restarted.window.focusWidget(), restarted.ip());
        auto* recent = restarted.window.findChild<QListWidget*>(QStringLiteral("recentDevicesList"));
        ASSERT_EQ(recent->count(), 1);
        EXPECT_EQ(recent->item(0)->text(), QStringLiteral("KVX-Trainer  127.0.0.1:") + port);
        QTest::mouseClick(recent->viewport(), Qt::LeftButton, {},
                          recent->visualItemRect(recent->item(0)).center());
        EXPECT_EQ(restarted.ip()->text() + u':' + restarted.port()->text(),
                  QStringLiteral("127.0.0.1:") + port);
        EXPECT_TRUE(restarted.button("connectButton")->isEnabled());
    });
}

TEST(SearchConnectWindow, WhatTheSystemKnowsFollowsTheMessageOnALineOfItsOwn) {
    struct Case {
        const char* name;
        const char* ip;
        QString port;
        bool search;
        QString message;
    };
    const QString searchError = QStringLiteral("Search Error. Check Lumeno-KVX and Try again.\n");
    const QString connectFailed = QStringLiteral("Lumeno-KVX Connection is failed.\n");
    const Case cases[] = {
        {"an address that cannot exist", "127.0.0.300", QStringLiteral("1"), false,
         searchError + QStringLiteral("127.0.0.300 is not an IPv4 address such as 192.168.0.10.")},
        {"no address at all", "not-an-address", QStringLiteral("1"), false,
         searchError + QStringLiteral("not-an-address is not an IPv4 address such as 192.168.0.10.")},
        {"connection refused", "127.0.0.1", QString::number(closedPort()), false,
         connectFailed + systemText(ECONNREFUSED)},
        {"no such port", "127.0.0.1", QStringLiteral("70000"), false,
         connectFailed + QStringLiteral("There is no port 70000: ports go up to 65535.")},
        {"a search that found no device", "", {}, true, QStringLiteral("No device answered the search.")},
    };
    for (const Case& c : cases) {
        Fixture f({"127.0.0.1", closedPort()});
        f.runWith([&] {
            f.type(QLatin1String(c.ip), c.port);
            QTest::mouseClick(f.button(c.search ? "searchButton" : "connectButton"), Qt::LeftButton);
        });
        EXPECT_EQ(f.prompter.messages, QStringList{c.message})
            << c.name << ": " << f.prompter.messages.join(u'|').toStdString();
    }
}

TEST(SearchConnectWindow, RightClickDescribesTheRowUnderThePointer) {
    sim::DeviceOptions options;
    options.serialNumber = "SN-RIGHT";
    auto device = startDevice(options);
    Fixture f(loopbackTarget(*device));
    f.runWith([&] {
        QTest::mouseClick(f.button("searchButton"), Qt::LeftButton);
        ASSERT_EQ(f.list()->topLevelItemCount(), 1);
        QTimer::singleShot(0, [] {
            KVX_ASSERT_SOON(QApplication::activePopupWidget() != nullptr);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            ASSERT_EQ(menu->actions().size(), 1);
            EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Detail Information"));
            menu->setActiveAction(menu->actions().front());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QRect row = f.list()->visualItemRect(f.list()->topLevelItem(0));
        Q_EMIT f.list()->customContextMenuRequested(row.center());
        EXPECT_EQ(f.list()->currentItem(), f.list()->topLevelItem(0)) << "the right click selects the row";
    });
    ASSERT_EQ(f.prompter.messages.size(), 1);
    EXPECT_TRUE(
        f.prompter.messages.front().contains(QStringLiteral("Product Serial Number       :  SN-RIGHT")));
}

TEST(SearchConnectWindow, DetailTextListsTheRecord) {
    DeviceRecord r{"bt", "101", "SN", "1.2.3.4", "9097", "AA:BB:CC:DD:EE:FF", "KVX", "00:11:22:33:44:55"};
    const QString expected = QStringLiteral(
        "Product Name                   : KVX\r \nModel Code                      : 101\r \n"
        "Product Serial Number       :  SN\r \nIP Address                        : 1.2.3.4\r \n"
        "Control Port                       : 9097\r \nMAC Address                    : AA:BB:CC:DD:EE:FF\r "
        "\n"
        "Bluetooth Friendly Name     : bt\r \nBluetooth Address              : 00:11:22:33:44:55");
    EXPECT_EQ(deviceDetailText(r), expected);
}
