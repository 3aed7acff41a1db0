#include "bluetooth_queries.h"

#include <QtGlobal>

namespace kvx {
namespace {

using S = QueryStep::Success;
constexpr const char* kBluetooth = "kvx::BluetoothPage";
constexpr const char* kConnections = "kvx::ConnectionsPage";
constexpr const char* kNeighborhoods = "kvx::NeighborhoodsPage";
constexpr const char* kPicker = "kvx::DevicePicker";
constexpr const char* kRepeater = "kvx::RepeaterPage";
constexpr const char* kStation = "kvx::RepeaterStationWindow";

constexpr QueryStep bluetoothQuery(std::string_view command, int wait, const char* timeout,
                                   const char* failed) {
    return {command, wait, S::NormalisedStartsWithOk, kBluetooth, timeout, failed};
}

constexpr QueryStep bluetoothSet(int wait, const char* timeout, const char* failed) {
    return {"", wait, S::ExactlyOk, kBluetooth, timeout, failed};
}

constexpr QueryStep scanModeSet(const char* failed) {
    return bluetoothSet(
        0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set Scan is timeout. Check Lumeno-KVX and Try again."),
        failed);
}

// In the order of scanSet()'s index: connectable adds one, discoverable two.
const QueryStep kScanSets[] = {
    scanModeSet(QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Noscan Setup Fail. Try again.")),
    scanModeSet(QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Connectable Setup Fail. Try again.")),
    scanModeSet(QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Discoverable Setup Fail. Try again.")),
    scanModeSet(
        QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Discoverable and Connectable Setup Fail. Try again.")),
};

} // namespace

const QueryStep kBtNameQuery =
    bluetoothQuery("BTName\r\n", 10,
                   QT_TRANSLATE_NOOP("kvx::BluetoothPage",
                                     "Get Bluetooth Information is timeout. Check Lumeno-KVX and Try again."),
                   QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get BTName is Failed. Try again."));
const QueryStep kMaxDtQuery = bluetoothQuery(
    "Maxdt\r\n", 0,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Maxdt is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Maxdt is Failed. Try again."));
const QueryStep kLinkTimeoutQuery = bluetoothQuery(
    "Linkto\r\n", 0,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get LinkTimeout is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get LinkTimeout is Failed. Try again."));
const QueryStep kScanQuery = bluetoothQuery(
    "Scan\r\n", 0,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Scan is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Scan is Failed. Try again."));
const QueryStep kSecurityQuery = bluetoothQuery(
    "Secu\r\n", 0,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Security is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Security is Failed. Try again."));
const QueryStep kPairableQuery = bluetoothQuery(
    "Pair\r\n", 0,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Pairable is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Pairable is Failed. Try again."));
const QueryStep kLocalDevicesQuery{
    "Stat\r\n",
    10,
    S::Parsed,
    kBluetooth,
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Get Stat is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Stat is Failed. Try again."),
};

const QueryStep kBtNameSet =
    bluetoothSet(10,
                 QT_TRANSLATE_NOOP("kvx::BluetoothPage",
                                   "Set Bluetooth Information is timeout. Check Lumeno-KVX and Try again."),
                 QT_TRANSLATE_NOOP("kvx::BluetoothPage", "BTName Setup Fail. Try again."));
const QueryStep kMaxDtSet = bluetoothSet(
    0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set Maxdt is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Maxdt Setup Fail. Try again."));
const QueryStep kLinkTimeoutSet = bluetoothSet(
    0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set LinkTimeout is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "LinkTimeout Setup Fail. Try again."));
const QueryStep kSecuritySet = bluetoothSet(
    0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set Security is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Security Setup Fail. Try again."));
const QueryStep kPinSet = bluetoothSet(
    0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set Pin Code is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Pin Code Setup Fail. Try again."));
const QueryStep kPairableSet = bluetoothSet(
    0, QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Set Pairable is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::BluetoothPage", "Pairable Setup Fail. Try again."));

const QueryStep& scanSet(ScanMode mode) {
    return kScanSets[(mode.discoverable ? 2 : 0) + (mode.connectable ? 1 : 0)];
}

const QueryStep kConnectionList{
    "List\r\n",
    10,
    S::NoErrAtStart,
    kConnections,
    QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "Get Information is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "Get Information is Failed. Try again."),
    false,
};
const QueryStep kIndicatorVersionQuery{"Ver\r\n", 1, S::AnyReply, kConnections, nullptr, nullptr, false};
const QueryStep kDisconnect{
    "",
    3,
    S::ExactlyOk,
    kConnections,
    QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "Disconnection is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "Disconnection is Failed. Try again."),
};

const QueryStep kPeriodicInquiryQuery{
    "pinq\r\n",
    3,
    S::Parsed,
    kNeighborhoods,
    QT_TRANSLATE_NOOP("kvx::NeighborhoodsPage", "Getting Periodic Inquiry failed."),
    QT_TRANSLATE_NOOP("kvx::NeighborhoodsPage", "Getting Periodic Inquiry failed."),
    false,
};
const QueryStep kPeriodicInquiryStart{"", 3, S::AnyReply, kNeighborhoods, nullptr, nullptr, false};
const QueryStep kPeriodicInquiryStop{"pinq off\r\n", 3, S::AnyReply, kNeighborhoods, nullptr, nullptr, false};
const QueryStep kNeighbourPoll{"ngbrh\r\n", 2, S::Parsed, kNeighborhoods, nullptr, nullptr, false};

const QueryStep kPickerList{"List\r\n", 10, S::AnyReply, kPicker, nullptr, nullptr, false};

const QueryStep kRepeaterTreeQuery{
    "repeater\r\n",
    1,
    S::Parsed,
    kRepeater,
    QT_TRANSLATE_NOOP("kvx::RepeaterPage", "Loading repeater list failed."),
    QT_TRANSLATE_NOOP("kvx::RepeaterPage", "Loading repeater list failed."),
    false,
};
const QueryStep kStationQuery{"station\r\n", 1, S::Parsed, kStation, nullptr, nullptr, false};
const QueryStep kStationSet{
    "",
    1,
    S::ContainsOk,
    kStation,
    QT_TRANSLATE_NOOP("kvx::RepeaterStationWindow", "Timeout."),
    QT_TRANSLATE_NOOP("kvx::RepeaterStationWindow", "Failed."),
    false,
};

} // namespace kvx
