#include "controls/masked_edit.h"
#include "core/bluetooth_queries.h"
#include "core/qt_text.h"
#include "fault_matrix.h"
#include "mode_window_driver.h"
#include "pages/bluetooth_page.h"
#include "pages/connections_page.h"
#include "pages/device_picker.h"
#include "pages/neighborhoods_page.h"
#include "pages/repeater_page.h"
#include "pages/repeater_station_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>
#include <string_view>

namespace kvx::test {
namespace {

std::string onOff(bool on) {
    return on ? "on" : "off";
}

// The columns that stay put between runs, each row in brackets.
std::string rowsText(const QTreeWidget* list, std::initializer_list<int> columns) {
    std::string text;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        text += '[';
        for (int c : columns)
            text += toStd(list->topLevelItem(r)->text(c)) + '|';
        text.back() = ']';
    }
    return text;
}

// ---- Bluetooth page --------------------------------------------------------------------------------

void bluetoothDevice(sim::DeviceOptions& options) {
    options.btName = "Hall-7";
}

// The settings, the MaxDT arrows (ranged by a complete load only) and the local radios without their
// ever-growing counters.
std::string bluetoothShown(const BluetoothPage& page) {
    const auto* security = child<QComboBox>(page, "securityCombo");
    return "name=" + toStd(textOf(page, "nameEdit")) + " maxdt=" + toStd(textOf(page, "maxDtEdit")) +
           " linkto=" + toStd(textOf(page, "linkTimeoutEdit")) +
           " security=" + toStd(security->currentText()) +
           " pair=" + onOff(child<QCheckBox>(page, "pairableCheck")->isChecked()) +
           " conn=" + onOff(child<QCheckBox>(page, "connectableCheck")->isChecked()) +
           " disc=" + onOff(child<QCheckBox>(page, "discoverableCheck")->isChecked()) +
           " arrows=" + onOff(child<QToolButton>(page, "maxDtUp")->isEnabled()) +
           " local=" + rowsText(child<QTreeWidget>(page, "localDevicesList"), {0, 1}) +
           " pin=" + toStd(textOf(page, "pinEdit")) + " applied=" + onOff(page.appliedName().has_value());
}

Driver bluetoothLoad() {
    return {bluetoothDevice, [](MatrixContext& ctx) {
                BluetoothPage page(ctx.session, ctx.prompter);
                page.load();
                return bluetoothShown(page);
            }};
}

Driver bluetoothRefresh() {
    return {bluetoothDevice, [](MatrixContext& ctx) {
                BluetoothPage page(ctx.session, ctx.prompter);
                page.show();
                click(page, "refreshButton");
                return bluetoothShown(page);
            }};
}

Driver bluetoothApply(bool discoverable, bool connectable) {
    return {bluetoothDevice, [=](MatrixContext& ctx) {
                BluetoothPage page(ctx.session, ctx.prompter);
                page.show();
                // Apply sends only settings this connection read.
                page.load();
                retype(page, "nameEdit", QStringLiteral("Hall-9"));
                retype(page, "maxDtEdit", QStringLiteral("9"));
                retype(page, "linkTimeoutEdit", QStringLiteral("25"));
                retype(page, "pinEdit", QStringLiteral("1234"));
                child<QComboBox>(page, "securityCombo")->setCurrentIndex(1);
                child<QCheckBox>(page, "pairableCheck")->setChecked(false);
                child<QCheckBox>(page, "discoverableCheck")->setChecked(discoverable);
                child<QCheckBox>(page, "connectableCheck")->setChecked(connectable);
                click(page, "applyButton");
                return bluetoothShown(page);
            }};
}

// ---- Connections page and the device picker --------------------------------------------------------

void twoLinks(sim::DeviceOptions& options) {
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 230}, {"00:1B:DC:0F:A1:02", "Printer", 210}};
}

class TickableConnections : public ConnectionsPage {
public:
    using ConnectionsPage::ConnectionsPage;
    using ConnectionsPage::refreshTick;
};

std::string connectionsShown(const ConnectionsPage& page) {
    const auto* list = child<QTreeWidget>(page, "connectionList");
    std::string text = "rows=";
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = list->topLevelItem(r);
        const QIcon icon = item->icon(0);
        text +=
            '[' + toStd(item->text(1)) + '|' + toStd(item->text(4)) + '|' + toStd(item->text(5)) + '|' +
            (icon.isNull() ? "no indicator" : toStd(icon.pixmap(16, 16).toImage().pixelColor(8, 8).name())) +
            ']';
    }
    return text + " timer=" + onOff(page.refreshTimerRunning());
}

// As the main window shows the tab: the timer starts and one refresh runs at once.
Driver connectionsShownTab() {
    return {twoLinks, [](MatrixContext& ctx) {
                TickableConnections page(ctx.session, ctx.prompter);
                page.startRefreshTimer();
                page.load();
                return connectionsShown(page);
            }};
}

Driver connectionsDisconnect() {
    return {twoLinks, [](MatrixContext& ctx) {
                TickableConnections page(ctx.session, ctx.prompter);
                page.resize(700, 300);
                page.show();
                page.load();
                clickRow(child<QTreeWidget>(page, "connectionList"), 0);
                click(page, "disconnectButton");
                return connectionsShown(page);
            }};
}

Driver pickerOpen() {
    return {twoLinks, [](MatrixContext& ctx) {
                DevicePicker picker(ctx.session);
                return "addresses=" + rowsText(child<QTreeWidget>(picker, "addressList"), {0});
            }};
}

// ---- Neighborhoods page ----------------------------------------------------------------------------

constexpr VersionCode kPeriodicInquiry = 263;

void twoNeighbours(sim::DeviceOptions& options) {
    options.neighbours = {{"00:1B:DC:0F:C1:01", "0x5A020C", "Handheld 3"},
                          {"00:1B:DC:0F:C1:02", "0x1F00", "Label Printer 2"}};
}

class TickableNeighborhoods : public NeighborhoodsPage {
public:
    using NeighborhoodsPage::NeighborhoodsPage;
    using NeighborhoodsPage::refreshTick;
};

std::string neighborhoodsShown(const NeighborhoodsPage& page) {
    return "interval=" + toStd(textOf(page, "intervalEdit")) +
           " length=" + toStd(textOf(page, "lengthEdit")) +
           " code=" + toStd(child<QComboBox>(page, "accessCodeCombo")->currentText()) +
           " start=" + onOff(child(page, "startButton")->isEnabled()) +
           " stop=" + onOff(child(page, "stopButton")->isEnabled()) +
           " timer=" + onOff(page.refreshTimerRunning()) +
           " rows=" + rowsText(child<QTreeWidget>(page, "neighbourList"), {0, 1, 2});
}

Driver neighborhoodsLoad() {
    return {twoNeighbours, [](MatrixContext& ctx) {
                ctx.session.setVersionCode(kPeriodicInquiry);
                TickableNeighborhoods page(ctx.session, ctx.prompter);
                page.load();
                return neighborhoodsShown(page);
            }};
}

Driver neighborhoodsStart() {
    return {twoNeighbours, [](MatrixContext& ctx) {
                ctx.session.setVersionCode(kPeriodicInquiry);
                TickableNeighborhoods page(ctx.session, ctx.prompter);
                page.show();
                page.load();
                retype(page, "intervalEdit", QStringLiteral("30"));
                retype(page, "lengthEdit", QStringLiteral("10"));
                child<QComboBox>(page, "accessCodeCombo")->setCurrentIndex(1);
                click(page, "startButton");
                return neighborhoodsShown(page);
            }};
}

Driver neighborhoodsStop() {
    return {twoNeighbours, [](MatrixContext& ctx) {
                ctx.session.setVersionCode(kPeriodicInquiry);
                // Another manager started the inquiry; this page finds it running.
                ctx.session.ask("pinq on 10 5 0x9E8B33");
                TickableNeighborhoods page(ctx.session, ctx.prompter);
                page.show();
                page.load();
                click(page, "stopButton");
                return neighborhoodsShown(page);
            }};
}

Driver neighborhoodsTick() {
    return {twoNeighbours, [](MatrixContext& ctx) {
                ctx.session.setVersionCode(kPeriodicInquiry);
                TickableNeighborhoods page(ctx.session, ctx.prompter);
                page.refreshTick();
                return neighborhoodsShown(page);
            }};
}

// ---- Repeater station window and tree page ---------------------------------------------------------

const char* const kStation = "00:1B:DC:0F:B0:01";

void station(sim::DeviceOptions& options) {
    options.stationAddress = kStation;
}

std::string stationShown(const RepeaterStationWindow& window) {
    return "address=[" + toStd(child<MaskedEdit>(window, "addressEdit")->inputData()) + "]";
}

Driver stationOpen() {
    return {station, [](MatrixContext& ctx) {
                RepeaterStationWindow window(ctx.session, ctx.prompter);
                return stationShown(window);
            }};
}

Driver stationOk() {
    return {station, [](MatrixContext& ctx) {
                RepeaterStationWindow window(ctx.session, ctx.prompter);
                bool openAfterOk = false;
                const int result = runOpened(window, [&] {
                    click(window, "okButton");
                    openAfterOk = window.isVisible();
                });
                return stationShown(window) + (openAfterOk                   ? " open"
                                               : result == QDialog::Accepted ? " accepted"
                                                                             : " closed");
            }};
}

std::string treeText(const QTreeWidgetItem* item, int depth) {
    std::string text = std::string(std::size_t(depth) * 2, ' ') + toStd(item->text(0)) + '\n';
    for (int i = 0; i < item->childCount(); ++i)
        text += treeText(item->child(i), depth + 1);
    return text;
}

Driver repeaterLoad() {
    return {{}, [](MatrixContext& ctx) {
                RepeaterPage page(ctx.session, ctx.prompter);
                page.load();
                const auto* tree = child<QTreeWidget>(page, "repeaterTree");
                std::string text = "tree:\n";
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    text += treeText(tree->topLevelItem(i), 1);
                return text;
            }};
}

// What the Bluetooth page shows, in the words of bluetoothShown().
struct BluetoothView {
    std::string name, maxDt, linkTimeout = "30", security = "low";
    bool pairable = false, connectable = false, discoverable = false, arrows = false;
    std::string local, pin;
    bool applied = false;

    std::string text() const {
        return "name=" + name + " maxdt=" + maxDt + " linkto=" + linkTimeout + " security=" + security +
               " pair=" + onOff(pairable) + " conn=" + onOff(connectable) + " disc=" + onOff(discoverable) +
               " arrows=" + onOff(arrows) + " local=" + local + " pin=" + pin + " applied=" + onOff(applied);
    }
};

// What a successful query of the load puts on the page, from a device set up by bluetoothDevice().
void readInto(BluetoothView& view, std::string_view command) {
    if (command == "BTName")
        view.name = "Hall-7";
    else if (command == "Maxdt")
        view.maxDt = "7";
    else if (command == "Linkto")
        view.linkTimeout = "20";
    else if (command == "Scan")
        view.connectable = view.discoverable = true;
    else if (command == "Pair")
        view.pairable = true;
    // "low" security is what the page starts with as well.
}

} // namespace

std::vector<CommandRow> bluetoothRows() {
    std::vector<CommandRow> rows;

    // Tab 1: every setting, then the local radios; the first query that fails ends the load and leaves
    // what was read before it. A failed read of the local radios still ranges the MaxDT arrows.
    struct Query {
        const QueryStep& step;
        bool onRefresh;
    };
    const Query queries[] = {
        {kBtNameQuery, true}, {kMaxDtQuery, true},    {kLinkTimeoutQuery, false},
        {kScanQuery, true},   {kSecurityQuery, true}, {kPairableQuery, true},
    };
    for (const char* sender : {"Bluetooth page: load", "Bluetooth page: Refresh"}) {
        const bool load = sender == std::string_view("Bluetooth page: load");
        BluetoothView view;
        for (const Query& q : queries) {
            if (!load && !q.onRefresh)
                continue;
            const CommandRow row(sender, q.step, true, view.text());
            readInto(view, row.command);
            rows.push_back(row);
        }
        if (load) {
            view.arrows = true;
            rows.push_back({sender, kLocalDevicesQuery, true, view.text(), true});
        }
    }

    // Apply: every setting in turn; the first that fails ends it, keeping the PIN and applying nothing.
    struct Set {
        const char* sender;
        const QueryStep& step;
        const char* command;
        bool discoverable, connectable;
    };
    const Set sets[] = {
        {"Bluetooth page: Apply", kBtNameSet, "BTName Hall-9", true, true},
        {"Bluetooth page: Apply", kMaxDtSet, "Maxdt 9", true, true},
        {"Bluetooth page: Apply", kLinkTimeoutSet, "Linkto 25", true, true},
        {"Bluetooth page: Apply", kSecuritySet, "Secu high", true, true},
        {"Bluetooth page: Apply", kPinSet, "Pin 1234", true, true},
        {"Bluetooth page: Apply", kPairableSet, "Pair off", true, true},
        {"Bluetooth page: Apply", scanSet({true, true}), "Scan Inquiry page", true, true},
        {"Bluetooth page: Apply, discoverable only", scanSet({true, false}), "Scan Inquiry", true, false},
        {"Bluetooth page: Apply, connectable only", scanSet({false, true}), "Scan Page", false, true},
        {"Bluetooth page: Apply, neither", scanSet({false, false}), "Scan noscan", false, false},
    };
    for (const Set& s : sets) {
        BluetoothView typed;
        typed.name = "Hall-9";
        typed.maxDt = "9";
        typed.linkTimeout = "25";
        typed.security = "high";
        typed.discoverable = s.discoverable;
        typed.connectable = s.connectable;
        typed.pin = "1234";
        typed.arrows = true;
        typed.local = "[0|" + sim::DeviceOptions().btAddress + "]";
        rows.push_back({s.sender, s.step, s.command, true, typed.text()});
    }

    rows.insert(
        rows.end(),
        {
            // Tab 2. A silent device ends the program (a close request, not a reconnect) and stops the timer.
            {"Connections page: tab shown", kConnectionList, true, "", true},
            {"Connections page: tab shown", kIndicatorVersionQuery, false,
             "rows=[1|00:1B:DC:0F:A1:01|Scanner|no indicator][2|00:1B:DC:0F:A1:02|Printer|no indicator] "
             "timer=on"},
            {"Connections page: Disconnect", kDisconnect, "disc 1", true,
             "rows=[1|00:1B:DC:0F:A1:01|Scanner|#00ff00][2|00:1B:DC:0F:A1:02|Printer|#ffff00] timer=off"},

            // Tab 3: one message, for the state query only, and never a reconnect.
            {"Neighborhoods page: load", kPeriodicInquiryQuery, true,
             "interval= length= code=General start=on stop=off timer=off rows="},
            // Start's reply is not looked at; the load that follows reads the state back.
            {"Neighborhoods page: Start", kPeriodicInquiryStart, "pinq on 30 10 0x9E8B00", false},
            {"Neighborhoods page: Stop", kPeriodicInquiryStop, false,
             "interval=10 length=5 code=General start=on stop=off timer=off rows="},
            // A failed poll keeps the rows and says nothing.
            {"Neighborhoods page: polling tick", kNeighbourPoll, true,
             "interval= length= code=General start=on stop=off timer=off rows=", true},

            // Route Setting's picker shows no message at all: a failure leaves the list empty.
            {"SD List: open", kPickerList, true, "addresses=", true},

            // Repeater Mode: the address read at creation fills the field only when it came with "+OK"; a
            // failed OK keeps the window open.
            {"Repeater Mode window: open", kStationQuery, true, "address=[            ]"},
            {"Repeater Mode window: OK", kStationSet, "station 00:1B:DC:0F:B0:01", true,
             "address=[001BDC0FB001] open"},
            // Tab 4.
            {"Repeater page: load", kRepeaterTreeQuery, true, "tree:\n", true},
        });
    return rows;
}

void addBluetoothDrivers(DriverMap& drivers) {
    drivers["Bluetooth page: load"] = bluetoothLoad();
    drivers["Bluetooth page: Refresh"] = bluetoothRefresh();
    drivers["Bluetooth page: Apply"] = bluetoothApply(true, true);
    drivers["Bluetooth page: Apply, discoverable only"] = bluetoothApply(true, false);
    drivers["Bluetooth page: Apply, connectable only"] = bluetoothApply(false, true);
    drivers["Bluetooth page: Apply, neither"] = bluetoothApply(false, false);
    drivers["Connections page: tab shown"] = connectionsShownTab();
    drivers["Connections page: Disconnect"] = connectionsDisconnect();
    drivers["Neighborhoods page: load"] = neighborhoodsLoad();
    drivers["Neighborhoods page: Start"] = neighborhoodsStart();
    drivers["Neighborhoods page: Stop"] = neighborhoodsStop();
    drivers["Neighborhoods page: polling tick"] = neighborhoodsTick();
    drivers["SD List: open"] = pickerOpen();
    drivers["Repeater Mode window: open"] = stationOpen();
    drivers["Repeater Mode window: OK"] = stationOk();
    drivers["Repeater page: load"] = repeaterLoad();
}

} // namespace kvx::test
