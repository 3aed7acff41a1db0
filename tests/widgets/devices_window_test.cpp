#include "app/device_list_model.h"
#include "app/devices_window.h"
#include "app/keyring.h"
#include "core/file_io.h"
#include "fleet/device_commands.h"
#include "private_file.h"
#include "recording_prompter.h"
#include "sim/fleet.h"
#include "sim_fixture.h"
#include "ui/search_connect_window.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <map>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

class MemoryKeyring : public Keyring {
public:
    explicit MemoryKeyring(bool available = true)
        : m_available(available) {}
    bool available() const override { return m_available; }
    KeyringResult load(const QString& key) override {
        const auto found = kept.find(key);
        return {true, found == kept.end() ? std::nullopt : std::optional(found->second), {}};
    }
    KeyringResult store(const QString& key, const Credentials& credentials) override {
        kept[key] = credentials;
        return {true, {}, {}};
    }
    KeyringResult forget(const QString& key) override {
        kept.erase(key);
        return {true, {}, {}};
    }
    std::map<QString, Credentials> kept;

private:
    bool m_available;
};

// Simulated devices on consecutive loopback addresses, answering discovery probes on one port as a
// fleet on a network does.
struct SimFleet {
    explicit SimFleet(int count, sim::FaultOptions faults = {}) {
        sim::DeviceOptions first;
        first.bindAddress = "127.86.0.1";
        first.discoveryPort = 0;
        first.controlPort = 0;
        for (int i = 0; i < count; ++i) {
            sim::DeviceOptions member = sim::fleetMember(first, i, count);
            if (i > 0)
                member.discoveryPort = devices.front()->discoveryPort();
            addresses.push_back(member.bindAddress);
            devices.push_back(std::make_unique<sim::SimulatedDevice>(member));
            devices.back()->setFaults(faults);
            EXPECT_TRUE(devices.back()->start()) << devices.back()->lastError();
        }
    }
    QString address(std::size_t i) const {
        return QStringLiteral("%1:%2")
            .arg(QString::fromStdString(addresses[i]))
            .arg(devices[i]->controlPort());
    }
    std::uint16_t discoveryPort() const { return devices.front()->discoveryPort(); }

    std::vector<std::string> addresses;
    std::vector<std::unique_ptr<sim::SimulatedDevice>> devices;
};

struct Harness {
    explicit Harness(std::uint16_t discoveryPort, std::unique_ptr<Keyring> keyring = nullptr) {
        DevicesWindowOptions options;
        options.prompter = &prompter;
        options.keyring = keyring ? std::move(keyring) : std::make_unique<MemoryKeyring>();
        options.discoveryTarget = {"127.0.0.1", discoveryPort};
        options.askCredentials = [this] {
            ++logins;
            return std::optional<Credentials>(Credentials{"admin", "admin"});
        };
        options.deviceWindow.prompter = &prompter;
        window = std::make_unique<DevicesWindow>(std::move(options));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void add(const SimFleet& fleet) {
        for (std::size_t i = 0; i < fleet.devices.size(); ++i)
            EXPECT_TRUE(window->addDevice(fleet.address(i)));
    }
    QAction* action(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }
    // Runs an action and waits until the window is idle again.
    bool run(const char* name, std::chrono::milliseconds bound = 20s) {
        action(name)->trigger();
        return QTest::qWaitFor([&] { return !window->isBusy(); }, int(bound.count()));
    }
    QString cell(int row, int column) const { return window->model()->text(row, column); }
    QStringList details() const {
        QStringList lines;
        QTreeWidget* tree = window->details();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            lines << item->text(0);
            for (int c = 0; c < item->childCount(); ++c) {
                QStringList columns;
                for (int k = 0; k < tree->columnCount(); ++k)
                    columns << item->child(c)->text(k);
                lines << columns.join(u'|');
            }
        }
        return lines;
    }

    RecordingPrompter prompter;
    int logins = 0;
    std::unique_ptr<DevicesWindow> window;
};

QString put(const QTemporaryDir& dir, const char* name, const QByteArray& data) {
    const QString path = test::writePrivateFile(dir, name, data);
    EXPECT_FALSE(path.isEmpty()) << name;
    return path;
}

class DevicesWindowTest : public ::testing::Test {
protected:
    // Each test starts from no list, no inventory and no kept password.
    void SetUp() override { QSettings().remove(QStringLiteral("devicesWindow")); }
};

using C = DeviceListModel;

} // namespace

// Refresh fills each row as its device answers; a device that cannot be worked on says where and why,
// in words and in colour; the window's password is asked once however often it is used.
TEST_F(DevicesWindowTest, RefreshFillsEveryRowAndAFailureNamesItsStep) {
    SimFleet fleet(3);
    const auto stopped = startDevice();
    const QString stoppedAddress = QStringLiteral("127.0.0.1:%1").arg(stopped->controlPort());
    stopped->stop();
    const QTemporaryDir dir;
    const QString password = put(dir, "password", "wrong\n");
    const QString inventory =
        put(dir, "fleet.ini",
            "[lobby]\n" + fleet.address(2).toUtf8() +
                " name=\"Lobby 3\" user=admin password_file=" + password.toUtf8() + "\n");
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    ASSERT_TRUE(h.window->addDevice(stoppedAddress));
    ASSERT_TRUE(h.window->openInventory(inventory));
    ASSERT_EQ(h.window->model()->rowCount(), 4);

    ASSERT_TRUE(h.run("refreshAction"));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(h.cell(row, C::Result), QStringLiteral("ok")) << row;
        EXPECT_EQ(h.cell(row, C::Name), QStringLiteral("KVX-Trainer-%1").arg(row + 1));
        EXPECT_EQ(h.cell(row, C::Serial), QStringLiteral("KVX100-00000%1").arg(row + 1));
        EXPECT_EQ(h.cell(row, C::Firmware), QStringLiteral("2.1.0"));
        EXPECT_EQ(h.cell(row, C::Links), QStringLiteral("0"));
        EXPECT_FALSE(h.cell(row, C::Mac).isEmpty());
        EXPECT_FALSE(h.cell(row, C::Mode).isEmpty());
    }
    // The inventory's own credentials, which the device turns down.
    EXPECT_EQ(h.cell(2, C::Name), QStringLiteral("Lobby 3"));
    EXPECT_EQ(h.cell(2, C::Group), QStringLiteral("lobby"));
    EXPECT_EQ(h.cell(2, C::Result), QStringLiteral("failed at login: Check User name and Password."));
    EXPECT_TRUE(h.cell(3, C::Result)
                    .startsWith(QStringLiteral("failed at connect: Lumeno-KVX Connection is failed.")))
        << h.cell(3, C::Result).toStdString();
    EXPECT_TRUE(
        h.window->model()->data(h.window->model()->index(3, C::Address), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(
        h.window->model()->data(h.window->model()->index(0, C::Address), Qt::BackgroundRole).isValid());

    ASSERT_TRUE(h.run("refreshAction"));
    EXPECT_EQ(h.logins, 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messages.join(u'|').toStdString();
}

// The list comes from a search, from typed addresses and from an inventory, and the next window opens
// with it; the export writes the columns shown.
TEST_F(DevicesWindowTest, TheListIsAssembledRememberedAndExported) {
    const auto device = startDevice();
    const QTemporaryDir dir;
    const QString inventory = put(dir, "fleet.ini", "[far]\n127.0.0.2:9 name=\"Far, \\\"away\\\"\" site=x\n");
    {
        Harness h(device->discoveryPort());
        ASSERT_TRUE(h.run("discoverAction"));
        ASSERT_EQ(h.window->model()->rowCount(), 1);
        EXPECT_EQ(h.cell(0, C::Address), QStringLiteral("127.0.0.1:%1").arg(device->controlPort()));
        EXPECT_EQ(h.cell(0, C::Serial), QStringLiteral("KVX100-000001"));

        EXPECT_FALSE(h.window->addDevice(QStringLiteral("10.0.0.1:99999")));
        EXPECT_EQ(h.prompter.messages.size(), 1);
        EXPECT_TRUE(h.window->addDevice(QStringLiteral("localhost:9000")));
        EXPECT_TRUE(h.window->openInventory(inventory));
        EXPECT_FALSE(h.window->openInventory(dir.filePath(QStringLiteral("missing.ini"))));
        ASSERT_EQ(h.window->model()->rowCount(), 3);
    }
    Harness h(device->discoveryPort());
    ASSERT_EQ(h.window->model()->rowCount(), 3);
    EXPECT_EQ(h.cell(0, C::Serial), QStringLiteral("KVX100-000001"));
    EXPECT_EQ(h.cell(1, C::Address), QStringLiteral("localhost:9000"));
    EXPECT_EQ(h.cell(2, C::Group), QStringLiteral("far"));

    for (int c = C::Mac; c < C::Group; ++c)
        h.action(QStringLiteral("column%1Action").arg(c).toLatin1().constData())->setChecked(false);
    const QString csv = dir.filePath(QStringLiteral("devices.csv"));
    h.prompter.fileAnswers = {csv};
    h.action("exportAction")->trigger();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "\"Name\",\"Address\",\"Group\",\"Result\"\n"
                              "\"KVX-Trainer\",\"127.0.0.1:" +
                                  QByteArray::number(device->controlPort()) +
                                  "\",\"\",\"\"\n"
                                  "\"\",\"localhost:9000\",\"\",\"\"\n"
                                  "\"Far, \"\"away\"\"\",\"127.0.0.2:9\",\"far\",\"\"\n");
}

TEST_F(DevicesWindowTest, BackUpWritesOneFilePerDeviceWithItsIdentity) {
    SimFleet fleet(2);
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    const QTemporaryDir dir;
    h.prompter.fileAnswers = {dir.filePath(QStringLiteral("any.kcf"))};
    ASSERT_TRUE(h.run("backUpAction"));
    for (std::size_t i = 0; i < 2; ++i) {
        QString error;
        const QString path =
            fleet::fileInFolder(dir.path(), *fleet::parseHostAddress(fleet.address(i).toStdString()), "kcf");
        const std::optional<QByteArray> text = readRegularFile(path, 1 << 20, error);
        ASSERT_TRUE(text) << error.toStdString();
        EXPECT_TRUE(text->startsWith("; Lumeno-KVX100 configuration backup\r\n")) << i;
        EXPECT_TRUE(text->contains("; Serial: KVX100-00000" + QByteArray::number(int(i) + 1) + "\r\n")) << i;
        EXPECT_EQ(h.cell(int(i), C::Result), QStringLiteral("ok"));
    }
}

TEST_F(DevicesWindowTest, CompareShowsEachDifferenceBelowTheList) {
    SimFleet fleet(1);
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    const QTemporaryDir dir;
    h.prompter.fileAnswers = {put(dir, "template.kcf", "[MAXDT]\r\nMaxdt=3\r\n")};
    ASSERT_TRUE(h.run("compareAction"));
    EXPECT_EQ(h.cell(0, C::Result), QStringLiteral("different"));
    EXPECT_EQ(h.details(), (QStringList{QStringLiteral("%1: different").arg(fleet.address(0)),
                                        QStringLiteral("|MAXDT|Maxdt|7|3")}));
}

// The check reads and sends nothing; only the operator's yes sends the lines, which the panel lists.
TEST_F(DevicesWindowTest, ApplyChecksFirstAndChangesOnlyWhenConfirmed) {
    SimFleet fleet(2);
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    const QTemporaryDir dir;
    const QString file = put(dir, "apply.kcf", "[MAXDT]\r\nMaxdt=3\r\n");
    const auto sentSettings = [&] {
        int lines = 0;
        for (const auto& device : fleet.devices)
            for (const std::string& command : device->receivedCommands())
                lines += QString::fromStdString(command).startsWith(QStringLiteral("maxdt 3"),
                                                                    Qt::CaseInsensitive);
        return lines;
    };

    h.prompter.fileAnswers = {file};
    h.prompter.yesNoAnswers = {false};
    ASSERT_TRUE(h.run("applyAction"));
    EXPECT_EQ(h.prompter.questions, QStringList{QStringLiteral("Apply File: Apply apply.kcf to 2 devices?")});
    EXPECT_EQ(sentSettings(), 0);
    EXPECT_EQ(h.cell(0, C::Result), QStringLiteral("would change: MAXDT"));
    EXPECT_TRUE(h.details().contains(QStringLiteral("|MAXDT|Maxdt|7|3")));

    h.prompter.fileAnswers = {file};
    h.prompter.yesNoAnswers = {true};
    ASSERT_TRUE(h.run("applyAction"));
    EXPECT_EQ(sentSettings(), 2);
    EXPECT_EQ(h.cell(0, C::Result), QStringLiteral("changed"));
    EXPECT_EQ(h.cell(1, C::Result), QStringLiteral("changed"));
    EXPECT_TRUE(h.details().contains(QStringLiteral("accepted: maxdt 3;||||")))
        << h.details().join(u'\n').toStdString();
}

// Cancel leaves the devices not yet started untouched; the window closes at once after.
TEST_F(DevicesWindowTest, CancelStopsTheDevicesNotYetStarted) {
    sim::FaultOptions slow;
    slow.replyDelay = 100ms;
    SimFleet fleet(6, slow);
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    h.window->findChild<QSpinBox*>(QStringLiteral("parallelBox"))->setValue(1);
    h.action("refreshAction")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.cell(0, C::Result) != QStringLiteral("waiting"); }, 5000));
    QTest::mouseClick(h.window->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.window->isBusy(); }, 20000));
    for (int row = 1; row < 6; ++row) {
        EXPECT_EQ(h.cell(row, C::Result), QStringLiteral("cancelled")) << row;
        EXPECT_EQ(fleet.devices[std::size_t(row)]->connectionsAccepted(), 0u) << row;
    }

    // Closed in the middle of a run: the devices under way end their step, and nothing is left behind.
    h.action("refreshAction")->trigger();
    ASSERT_TRUE(h.window->isBusy());
    QElapsedTimer closing;
    closing.start();
    h.window->close();
    h.window.reset();
    EXPECT_LT(closing.elapsed(), 3000);
}

TEST_F(DevicesWindowTest, RebootNamesTheDevicesAndTheLinksTheyCarry) {
    sim::DeviceOptions options;
    options.links = {{"AA:BB:CC:DD:EE:01", "Scanner 1"}, {"AA:BB:CC:DD:EE:02", "Scanner 2"}};
    options.rebootDowntime = 300ms;
    const auto device = startDevice(options);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device->controlPort());
    Harness h(device->discoveryPort());
    ASSERT_TRUE(h.window->addDevice(address));
    ASSERT_TRUE(h.run("refreshAction"));
    h.prompter.yesNoAnswers = {false, true};
    ASSERT_TRUE(h.run("rebootAction"));
    ASSERT_TRUE(h.run("rebootAction"));
    const QString question = QStringLiteral("Reboot: Reboot 1 device?\nKVX-Trainer (%1): 2 live links\n"
                                            "Live links that drop while they restart: 2")
                                 .arg(address);
    EXPECT_EQ(h.prompter.questions, (QStringList{question, question}));
    EXPECT_EQ(h.cell(0, C::Result), QStringLiteral("ok"));
    const std::vector<std::string> received = device->receivedCommands();
    EXPECT_EQ(std::count(received.begin(), received.end(), "Reboot"), 1);
}

// The window's credentials kept in the keyring serve the next window without a question; without a
// keyring the operator is told so and the password is not kept.
TEST_F(DevicesWindowTest, KeepPasswordInKeyring) {
    SimFleet fleet(1);
    auto keyring = std::make_unique<MemoryKeyring>();
    MemoryKeyring& kept = *keyring;
    {
        Harness h(fleet.discoveryPort(), std::move(keyring));
        h.add(fleet);
        h.action("keepPasswordAction")->setChecked(true);
        ASSERT_TRUE(h.run("refreshAction"));
        EXPECT_EQ(h.logins, 1);
        ASSERT_EQ(kept.kept.size(), 1u);
        // Handed on to the next window, as the desktop's keyring outlives the window.
        keyring.reset(new MemoryKeyring(std::move(kept)));
    }
    Harness next(fleet.discoveryPort(), std::move(keyring));
    EXPECT_TRUE(next.action("keepPasswordAction")->isChecked());
    ASSERT_TRUE(next.run("refreshAction"));
    EXPECT_EQ(next.logins, 0);
    EXPECT_EQ(next.cell(0, C::Result), QStringLiteral("ok"));

    Harness without(fleet.discoveryPort(), std::make_unique<MemoryKeyring>(false));
    EXPECT_FALSE(without.action("keepPasswordAction")->isChecked());
    without.action("keepPasswordAction")->setChecked(true);
    EXPECT_FALSE(without.action("keepPasswordAction")->isChecked());
    EXPECT_EQ(without.prompter.messages.size(), 1);
}

// Open hands the row's address to the single-device window's own search and login.
TEST_F(DevicesWindowTest, OpenFillsTheSearchWindowWithTheRowsAddress) {
    Harness h(9);
    ASSERT_TRUE(h.window->addDevice(QStringLiteral("127.0.0.5:9123")));
    h.window->list()->selectRow(0);
    QStringList fields;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* search = qobject_cast<SearchConnectWindow*>(w); search && search->isVisible()) {
                fields << search->findChild<QLineEdit*>(QStringLiteral("ipAddressEdit"))->text()
                       << search->findChild<QLineEdit*>(QStringLiteral("controlPortEdit"))->text();
                search->reject();
            }
    });
    poll.start(20);
    h.action("openAction")->trigger();
    EXPECT_EQ(fields, (QStringList{QStringLiteral("127.0.0.5"), QStringLiteral("9123")}));
}

TEST_F(DevicesWindowTest, TheSearchWindowHandsOverToTheDevicesWindow) {
    RecordingPrompter prompter;
    MainWindowOptions options;
    options.prompter = &prompter;
    options.discoveryTarget = {"127.0.0.1", 9};
    MainWindow window(std::move(options));
    QTimer::singleShot(50, [&] {
        QTest::mouseClick(window.searchWindow()->findChild<QPushButton*>(QStringLiteral("devicesButton")),
                          Qt::LeftButton);
    });
    EXPECT_FALSE(window.initialise());
    DevicesWindow* devices = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<DevicesWindow*>(w); found && found->isVisible())
            devices = found;
    ASSERT_NE(devices, nullptr);
    EXPECT_FALSE(QApplication::modalWindow());
    devices->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The window paints and takes input while 30 devices are refreshed: the longest gap between two ticks
// of a 10 ms timer stays under 100 ms.
TEST_F(DevicesWindowTest, TheWindowStaysResponsiveDuringARefresh) {
    SimFleet fleet(30);
    Harness h(fleet.discoveryPort());
    h.add(fleet);
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(10);
    clock.start();
    ASSERT_TRUE(h.run("refreshAction", 60s));
    tick.stop();
    for (int row = 0; row < 30; ++row)
        EXPECT_EQ(h.cell(row, C::Result), QStringLiteral("ok")) << row;
    std::printf("longest gap between ticks during the refresh: %lld ms over %lld ms\n", longest,
                clock.elapsed());
    EXPECT_LT(longest, 100);
}
