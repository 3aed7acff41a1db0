#include "search_connect_window.h"

#include "core/device_link.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/transcript.h"
#include "platform/net.h"
#include "ui/busy_cursor.h"
#include "ui/widget_setup.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <vector>

namespace kvx {
namespace {

struct Column {
    const char* caption;
    int width;
    int field; // of the record
};

// Captions keep their blanks: they are how the columns line up over their values. The record's other
// fields have no column at all (a hidden one would still be read out by a screen reader): the whole
// record rides on the row's item data.
constexpr Column kColumns[] = {
    {QT_TRANSLATE_NOOP("kvx::SearchConnectWindow", "          Name"), 140, 0},
    {QT_TRANSLATE_NOOP("kvx::SearchConnectWindow", "        IPAddr"), 120, 3},
    {QT_TRANSLATE_NOOP("kvx::SearchConnectWindow", "            MAC"), 142, 5},
};
constexpr int kRecordRole = Qt::UserRole;

// A field of the record as the device's answer gave it: the window only shows it decoded.
std::string recordField(const QTreeWidgetItem* item, int field) {
    return item->data(0, kRecordRole).value<QByteArrayList>().value(field).toStdString();
}

// The devices that logged in lately, the latest first.
struct RecentDevice {
    QString ip;
    QString port;
    QString name;
};
constexpr int kRecentDeviceCount = 8;
const QLatin1String kRecentDevicesKey("searchConnect/recentDevices");
// Where earlier versions kept the one address that logged in last; it becomes the first recent device.
const QLatin1String kLastAddressKey("searchConnect/ipAddress");
const QLatin1String kLastPortKey("searchConnect/controlPort");

std::vector<RecentDevice> readRecentDevices() {
    QSettings settings;
    std::vector<RecentDevice> devices;
    const int count = std::min(settings.beginReadArray(kRecentDevicesKey), kRecentDeviceCount);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        devices.push_back({settings.value("ip").toString(), settings.value("port").toString(),
                           settings.value("name").toString()});
    }
    settings.endArray();
    if (devices.empty() && settings.contains(kLastAddressKey))
        devices.push_back(
            {settings.value(kLastAddressKey).toString(), settings.value(kLastPortKey).toString(), {}});
    return devices;
}

void writeRecentDevices(const std::vector<RecentDevice>& devices) {
    QSettings settings;
    settings.remove(kLastAddressKey);
    settings.remove(kLastPortKey);
    settings.remove(kRecentDevicesKey);
    settings.beginWriteArray(kRecentDevicesKey, int(devices.size()));
    for (int i = 0; i < int(devices.size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue("ip", devices[std::size_t(i)].ip);
        settings.setValue("port", devices[std::size_t(i)].port);
        settings.setValue("name", devices[std::size_t(i)].name);
    }
    settings.endArray();
}

enum RecentRole { RecentIp = Qt::UserRole, RecentPort };

// What the system knows of a failure goes on a line of its own below the message that names it.
QString withCause(const QString& described, const QString& cause) {
    return cause.isEmpty() ? described : described + u'\n' + cause;
}

QString systemText(int error) {
    return error == 0 ? QString() : fromStd(net::errorText(error));
}

} // namespace

QString deviceDetailText(const DeviceRecord& r) {
    const QString separator = QStringLiteral("\r \n");
    const QStringList lines{
        SearchConnectWindow::tr("Product Name                   : ") + deviceTextShown(r.productName),
        SearchConnectWindow::tr("Model Code                      : ") + deviceTextShown(r.modelCode),
        SearchConnectWindow::tr("Product Serial Number       :  ") + deviceTextShown(r.serialNumber),
        SearchConnectWindow::tr("IP Address                        : ") + deviceTextShown(r.ipAddress),
        SearchConnectWindow::tr("Control Port                       : ") + deviceTextShown(r.controlPort),
        SearchConnectWindow::tr("MAC Address                    : ") + deviceTextShown(r.macAddress),
        SearchConnectWindow::tr("Bluetooth Friendly Name     : ") + deviceTextShown(r.btName),
        SearchConnectWindow::tr("Bluetooth Address              : ") + deviceTextShown(r.btAddress),
    };
    return lines.join(separator);
}

SearchConnectWindow::SearchConnectWindow(DeviceLink& link, Transcript& transcript, Prompter& prompter,
                                         Hooks hooks, DiscoveryTarget target, QWidget* parent)
    : QDialog(parent)
    , m_link(link)
    , m_transcript(transcript)
    , m_prompter(prompter)
    , m_hooks(std::move(hooks))
    , m_discovery(std::move(target))
    , m_list(new QTreeWidget(this))
    , m_ipEdit(new QLineEdit(this))
    , m_portEdit(new QLineEdit(this))
    , m_recentDevices(new QListWidget(this))
    , m_searchButton(namedButton(tr("Search Lumeno-KVX"), "searchButton", this))
    , m_connectButton(namedButton(tr("Connect"), "connectButton", this))
    , m_cancelButton(namedButton(tr("Cancel"), "cancelButton", this)) {
    setObjectName(QStringLiteral("searchConnectWindow"));
    setWindowTitle(tr("Lumeno-KVX100 Manager"));
    setModal(true);

    m_list->setObjectName(QStringLiteral("deviceList"));
    m_list->setAccessibleName(tr("Lumeno-KVX devices"));
    m_list->setColumnCount(int(std::size(kColumns)));
    QStringList captions;
    for (const Column& column : kColumns)
        captions << tr(column.caption);
    m_list->setHeaderLabels(captions);
    setUpReportList(m_list);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int c = 0; c < int(std::size(kColumns)); ++c)
        m_list->setColumnWidth(c, kColumns[c].width);
    m_list->setMinimumWidth(140 + 120 + 142 + 24);

    QLabel* ipLabel = labelFor(tr("IP Address"), m_ipEdit, this);
    m_ipEdit->setObjectName(QStringLiteral("ipAddressEdit"));
    QLabel* portLabel = labelFor(tr("Control Port"), m_portEdit, this);
    m_portEdit->setObjectName(QStringLiteral("controlPortEdit"));
    QLabel* recentLabel = labelFor(tr("Recent devices"), m_recentDevices, this);
    m_recentDevices->setObjectName(QStringLiteral("recentDevicesList"));
    m_recentDevices->setFixedHeight(m_recentDevices->fontMetrics().lineSpacing() * 4 +
                                    2 * m_recentDevices->frameWidth() + 4);

    // No default button: Enter does nothing here.

    auto* fields = new QGridLayout;
    fields->addWidget(ipLabel, 0, 0);
    fields->addWidget(m_ipEdit, 0, 1);
    fields->addWidget(portLabel, 1, 0);
    fields->addWidget(m_portEdit, 1, 1);
    fields->addWidget(recentLabel, 2, 0, Qt::AlignTop);
    fields->addWidget(m_recentDevices, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_searchButton);
    if (m_hooks.openDevices) {
        QPushButton* devices = namedButton(tr("Devices..."), "devicesButton", this);
        buttons->addWidget(devices);
        connect(devices, &QPushButton::clicked, this, [this] {
            // Closed first: a window opened while this modal one runs would take no input.
            reject();
            m_hooks.openDevices();
        });
    }
    buttons->addStretch();
    buttons->addWidget(m_connectButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(460, 420);

    connect(m_searchButton, &QPushButton::clicked, this, &SearchConnectWindow::search);
    connect(m_connectButton, &QPushButton::clicked, this, &SearchConnectWindow::connectDevice);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ipEdit, &QLineEdit::textChanged, this, &SearchConnectWindow::updateConnectEnabled);
    connect(m_portEdit, &QLineEdit::textChanged, this, &SearchConnectWindow::updateConnectEnabled);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SearchConnectWindow::onSelectionChanged);
    connect(m_list, &QWidget::customContextMenuRequested, this, &SearchConnectWindow::showDetail);
    // A click picks; so does Enter on the entry under the keyboard. Moving through the list does not.
    connect(m_recentDevices, &QListWidget::itemClicked, this, &SearchConnectWindow::pickRecentDevice);
    connect(m_recentDevices, &QListWidget::itemActivated, this, &SearchConnectWindow::pickRecentDevice);
}

SearchConnectWindow::~SearchConnectWindow() = default;

int SearchConnectWindow::run() {
    m_candidate = m_record;
    m_list->clear();
    m_ipEdit->clear();
    m_portEdit->clear();
    m_ipEdit->setText(std::exchange(m_presetIp, {}));
    m_portEdit->setText(std::exchange(m_presetPort, {}));
    showRecentDevices();
    updateConnectEnabled();
    m_ipEdit->setFocus(Qt::OtherFocusReason);
    if (!m_discovery.open()) {
        m_prompter.message(
            withCause(tr("The application create Fail. Try again."), systemText(m_discovery.lastError())));
        return QDialog::Rejected;
    }
    raise();
    activateWindow();
    return exec();
}

void SearchConnectWindow::presetAddress(const QString& ip, const QString& port) {
    m_presetIp = ip;
    m_presetPort = port;
}

void SearchConnectWindow::done(int result) {
    m_discovery.close();
    QDialog::done(result);
}

void SearchConnectWindow::keyPressEvent(QKeyEvent* event) {
    // Enter neither connects nor closes this window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SearchConnectWindow::updateConnectEnabled() {
    m_connectButton->setEnabled(!m_ipEdit->text().isEmpty() && !m_portEdit->text().isEmpty());
}

void SearchConnectWindow::showRecentDevices() {
    m_recentDevices->clear();
    for (const RecentDevice& device : readRecentDevices()) {
        const QString address = device.ip + u':' + device.port;
        auto* item = new QListWidgetItem(
            device.name.isEmpty() ? address : device.name + QStringLiteral("  ") + address, m_recentDevices);
        item->setData(RecentIp, device.ip);
        item->setData(RecentPort, device.port);
    }
}

void SearchConnectWindow::pickRecentDevice(const QListWidgetItem* item) {
    m_ipEdit->setText(item->data(RecentIp).toString());
    m_portEdit->setText(item->data(RecentPort).toString());
}

void SearchConnectWindow::rememberRecentDevice() {
    std::vector<RecentDevice> devices = readRecentDevices();
    const RecentDevice latest{fromStd(m_record.ipAddress), fromStd(m_record.controlPort),
                              deviceTextShown(m_record.btName).trimmed()};
    std::erase_if(devices, [&](const RecentDevice& d) { return d.ip == latest.ip && d.port == latest.port; });
    devices.insert(devices.begin(), latest);
    if (devices.size() > kRecentDeviceCount)
        devices.resize(kRecentDeviceCount);
    writeRecentDevices(devices);
}

void SearchConnectWindow::receiveAndList(std::chrono::milliseconds wait) {
    std::string datagram;
    switch (m_discovery.receive(wait, datagram)) {
    case DiscoverySocket::Receive::Nothing:
        return;
    case DiscoverySocket::Receive::Error:
        m_prompter.message(withCause(tr("ReceiveData Error."), systemText(m_discovery.lastError())));
        return;
    case DiscoverySocket::Receive::Datagram:
        break;
    }
    if (const std::optional<DeviceRecord> record = parseDiscoveryReply(datagram))
        listDevice(*record);
}

void SearchConnectWindow::listDevice(const DeviceRecord& record) {
    auto* item = new QTreeWidgetItem;
    QByteArrayList fields;
    for (int f = 0; f < DeviceRecord::kFieldCount; ++f)
        fields << QByteArray::fromStdString(record.field(f));
    item->setData(0, kRecordRole, QVariant::fromValue(fields));
    for (int c = 0; c < int(std::size(kColumns)); ++c)
        item->setText(c, deviceTextShown(record.field(kColumns[c].field)));
    // The latest answer goes on top.
    m_list->insertTopLevelItem(0, item);
}

void SearchConnectWindow::search() {
    m_list->clear();
    bool sent;
    {
        const BusyCursor busy;
        sent = m_discovery.search(
            std::chrono::seconds(1), [this](const DeviceRecord& record) { listDevice(record); },
            [this] {
                m_prompter.message(withCause(tr("ReceiveData Error."), systemText(m_discovery.lastError())));
            });
    }
    if (!sent)
        m_prompter.message(withCause(tr("Search Error. Check Lumeno-KVX and Try again."),
                                     systemText(m_discovery.lastError())));
    else if (m_list->topLevelItemCount() == 0)
        m_prompter.message(tr("No device answered the search."));
}

void SearchConnectWindow::takeRow(int row) {
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (!item)
        return;
    for (int f = 0; f < DeviceRecord::kFieldCount; ++f)
        m_candidate.field(f) = recordField(item, f);
    m_ipEdit->setText(fromStd(m_candidate.ipAddress));
    m_portEdit->setText(fromStd(m_candidate.controlPort));
    m_connectButton->setEnabled(true);
}

void SearchConnectWindow::onSelectionChanged(const QItemSelection& selected,
                                             const QItemSelection& deselected) {
    // Every row whose state changed is taken in turn, the newly selected one last.
    for (const QItemSelection* range : {&deselected, &selected}) {
        for (const QModelIndex& index : range->indexes()) {
            if (index.column() == 0)
                takeRow(index.row());
        }
    }
}

void SearchConnectWindow::showDetail(const QPoint& position) {
    if (QTreeWidgetItem* item = m_list->itemAt(position))
        m_list->setCurrentItem(item);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("detailMenu"));
    QAction* detail = menu.addAction(tr("Detail Information"));
    if (menu.exec(m_list->viewport()->mapToGlobal(position)) == detail)
        m_prompter.message(deviceDetailText(m_candidate));
}

void SearchConnectWindow::connectDevice() {
    m_list->clear();
    const std::string ip = toStd(m_ipEdit->text());
    if (!m_discovery.sendProbe(ip)) {
        const QString cause =
            isIpv4Text(ip) ? systemText(m_discovery.lastError())
                           : tr("%1 is not an IPv4 address such as 192.168.0.10.").arg(m_ipEdit->text());
        m_prompter.message(withCause(tr("Search Error. Check Lumeno-KVX and Try again."), cause));
        return;
    }
    {
        const BusyCursor busy;
        receiveAndList(std::chrono::seconds(1));
    }
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (recordField(item, 3) != ip)
            continue;
        for (int f = 0; f < DeviceRecord::kFieldCount; ++f)
            m_candidate.field(f) = recordField(item, f);
    }
    m_candidate.ipAddress = ip;
    m_candidate.controlPort = toStd(m_portEdit->text());

    const std::optional<Credentials> credentials = m_hooks.askCredentials();
    if (!credentials)
        return;
    const unsigned portNumber = leadingDecimal(m_candidate.controlPort);

    if (m_link.hasSocket()) {
        m_link.close();
        m_hooks.connectionReplaced();
        m_transcript.clear();
        if (!m_link.create()) {
            m_prompter.message(tr("The application create Fail. Try again."));
            return;
        }
    } else if (!m_link.create()) {
        return;
    }

    bool connected;
    {
        const BusyCursor busy;
        connected = m_link.connectTo(ip, portNumber);
    }
    if (!connected) {
        m_prompter.message(withCause(tr("Lumeno-KVX Connection is failed."),
                                     portNumber > 65535
                                         ? tr("There is no port %1: ports go up to 65535.").arg(portNumber)
                                         : systemText(m_link.lastError())));
        return;
    }
    bool loggedIn;
    {
        const BusyCursor busy;
        loggedIn = runLoginExchange(m_link, m_transcript, m_prompter, m_hooks.postReconnect, *credentials);
    }
    if (!loggedIn) {
        m_prompter.message(tr("Check User name and Password."));
        m_link.close();
        raise();
        activateWindow();
        return;
    }
    m_record = m_candidate;
    m_portNumber = portNumber;
    m_credentials = *credentials;
    // Only a connect that logged in is remembered: an address that failed, or an opening that was
    // cancelled, would otherwise stand among the good ones.
    rememberRecentDevice();
    accept();
}

} // namespace kvx
