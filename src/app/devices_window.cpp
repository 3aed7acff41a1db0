#include "devices_window.h"

#include "app/app_icon.h"
#include "app/device_list_model.h"
#include "app/keyring.h"
#include "app/login_window.h"
#include "core/config_backup.h"
#include "core/discovery_socket.h"
#include "core/file_io.h"
#include "core/qt_text.h"
#include "fleet/fleet_job.h"
#include "fleet/inventory.h"
#include "fleet/printable.h"
#include "platform/net.h"
#include "ui/dialog_prompter.h"
#include "ui/widget_setup.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kvx {
namespace {

const QLatin1String kListKey("devicesWindow/devices");
const QLatin1String kInventoryKey("devicesWindow/inventory");
const QLatin1String kParallelKey("devicesWindow/parallel");
const QLatin1String kKeepPasswordKey("devicesWindow/keepPassword");
const QLatin1String kHiddenColumnsKey("devicesWindow/hiddenColumns");
const QLatin1String kSizeKey("devicesWindow/size");
const QLatin1String kSplitterKey("devicesWindow/splitter");
// Under this name the keyring keeps the window's credentials: one pair for every device without its own.
const QLatin1String kKeyringKey("devices");

constexpr int kDefaultParallel = 8;
constexpr int kMostParallel = 256;
// Enough names for the operator to know whom a reboot hits; the count tells the rest.
constexpr int kNamesInQuestion = 20;

// The search window's own texts, where Discover says what a search said there.
QString searchText(const char* text) {
    return QCoreApplication::translate("kvx::SearchConnectWindow", text);
}

QString shown(const std::string& text) {
    return fromStd(fleet::printable(text));
}

QString csvField(const QString& text) {
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : separator) + part;
    return out;
}

} // namespace

DevicesWindow* openDevicesWindow(DevicesWindowOptions options) {
    auto* window = new DevicesWindow(std::move(options));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

DevicesWindow::DevicesWindow(DevicesWindowOptions options, QWidget* parent)
    : QMainWindow(parent)
    , m_ownPrompter(options.prompter ? nullptr : std::make_unique<DialogPrompter>())
    , m_prompter(options.prompter ? *options.prompter : *m_ownPrompter)
    , m_options(std::move(options))
    , m_model(new DeviceListModel(this))
    , m_proxy(new QSortFilterProxyModel(this))
    , m_list(new QTableView)
    , m_details(new QTreeWidget)
    , m_filter(new QLineEdit)
    , m_filterColumn(new QComboBox)
    , m_addressEdit(new QLineEdit)
    , m_parallel(new QSpinBox)
    , m_progress(new QProgressBar)
    , m_cancel(new QPushButton(tr("Cancel"))) {
    if (!m_options.keyring)
        m_options.keyring = desktopKeyring();
    setObjectName(QStringLiteral("devicesWindow"));
    setWindowTitle(tr("Devices"));
    setWindowIcon(applicationIcon());

    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(DeviceListModel::kSortRole);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setFilterKeyColumn(-1);
    m_list->setObjectName(QStringLiteral("deviceList"));
    m_list->setAccessibleName(tr("Devices"));
    m_list->setModel(m_proxy);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    // Unsorted until the operator clicks a header: the order the devices were added in.
    m_list->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    m_list->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    // Wide enough for what the columns usually hold, set once: measuring every row as it fills in
    // would cost the window its paint time on a long list.
    const std::pair<int, const char*> widths[] = {
        {DeviceListModel::Name, "KVX-Trainer-1000"}, {DeviceListModel::Address, "255.255.255.255:65535"},
        {DeviceListModel::Mac, "00:1A:2B:3C:4D:5E"}, {DeviceListModel::Model, "100"},
        {DeviceListModel::Serial, "KVX100-000000"},  {DeviceListModel::Firmware, "2.1.0"},
        {DeviceListModel::Mode, "repeater"},         {DeviceListModel::Links, "0"},
        {DeviceListModel::Group, "lobby, far"}};
    const QFontMetrics metrics = m_list->fontMetrics();
    for (const auto& [column, sample] : widths)
        m_list->setColumnWidth(column,
                               std::max(metrics.horizontalAdvance(QLatin1String(sample)),
                                        metrics.horizontalAdvance(DeviceListModel::columnName(column))) +
                                   metrics.averageCharWidth() * 4);

    m_details->setObjectName(QStringLiteral("detailsList"));
    m_details->setAccessibleName(tr("Details"));
    m_details->setHeaderLabels(
        {tr("Device"), tr("Group"), tr("Key"), tr("Device's Value"), tr("File's Value")});
    m_details->setColumnWidth(0, 200);

    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setClearButtonEnabled(true);
    m_filterColumn->setObjectName(QStringLiteral("filterColumnBox"));
    m_filterColumn->addItem(tr("All Columns"), -1);
    for (int c = 0; c < DeviceListModel::ColumnCount; ++c)
        m_filterColumn->addItem(DeviceListModel::columnName(c), c);
    auto* columns = new QToolButton;
    columns->setObjectName(QStringLiteral("columnsButton"));
    columns->setText(tr("Columns"));
    columns->setPopupMode(QToolButton::InstantPopup);

    auto* top = new QWidget;
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(labelFor(tr("Filter"), m_filter, top));
    filterRow->addWidget(m_filter, 1);
    filterRow->addWidget(labelFor(tr("In"), m_filterColumn, top));
    filterRow->addWidget(m_filterColumn);
    filterRow->addWidget(columns);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(filterRow);
    topLayout->addWidget(m_list, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("devicesSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(top);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setFormat(tr("%v of %m devices"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_cancel);
    m_progress->hide();
    m_cancel->hide();

    m_addressEdit->setObjectName(QStringLiteral("addressEdit"));
    m_addressEdit->setPlaceholderText(tr("HOST[:PORT]"));
    m_addressEdit->setMinimumWidth(
        m_addressEdit->fontMetrics().horizontalAdvance(QLatin1String("255.255.255.255:65535")) +
        m_addressEdit->fontMetrics().averageCharWidth() * 4);
    keepToOneLine(m_addressEdit);
    m_parallel->setObjectName(QStringLiteral("parallelBox"));
    m_parallel->setRange(1, kMostParallel);

    buildActions();
    columns->setMenu(menuBar()->findChild<QMenu*>(QStringLiteral("columnsMenu")));

    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_filterColumn, &QComboBox::currentIndexChanged, this,
            [this] { m_proxy->setFilterKeyColumn(m_filterColumn->currentData().toInt()); });
    connect(m_list->horizontalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (auto* menu = menuBar()->findChild<QMenu*>(QStringLiteral("columnsMenu")))
            menu->exec(m_list->horizontalHeader()->mapToGlobal(at));
    });
    connect(m_addressEdit, &QLineEdit::returnPressed, this, [this] {
        if (addDevice(m_addressEdit->text()))
            m_addressEdit->clear();
    });
    connect(m_cancel, &QPushButton::clicked, this, &DevicesWindow::cancel);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DevicesWindow::updateActions);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DevicesWindow::updateActions);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DevicesWindow::updateActions);

    resize(1000, 640);
    const QSettings settings;
    if (const QSize size = settings.value(kSizeKey).toSize(); size.isValid())
        resize(size);
    splitter->restoreState(settings.value(kSplitterKey).toByteArray());
    m_parallel->setValue(settings.value(kParallelKey, kDefaultParallel).toInt());
    restoreList();
    updateActions();
}

DevicesWindow::~DevicesWindow() {
    // The devices under way end their turn first: each within its own bounded waits.
    m_job.reset();
    if (m_discovery.joinable())
        m_discovery.join();
    saveList();
    QSettings settings;
    settings.setValue(kSizeKey, size());
    settings.setValue(kSplitterKey, findChild<QSplitter*>(QStringLiteral("devicesSplitter"))->saveState());
    settings.setValue(kParallelKey, m_parallel->value());
}

void DevicesWindow::buildActions() {
    const auto action = [this](const QString& text, const char* name, void (DevicesWindow::*slot)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction* discoverAction = action(tr("Discover"), "discoverAction", &DevicesWindow::discover);
    auto* inventory = new QAction(tr("Open Inventory..."), this);
    inventory->setObjectName(QStringLiteral("openInventoryAction"));
    connect(inventory, &QAction::triggered, this, [this] {
        const QString path = m_prompter.openFileName(tr("Inventory Files(*.ini *.txt);;All Files(*.*)"),
                                                     QStringLiteral("ini"));
        if (!path.isEmpty())
            openInventory(path);
    });
    auto* add = new QAction(tr("Add Device"), this);
    add->setObjectName(QStringLiteral("addDeviceAction"));
    connect(add, &QAction::triggered, this, [this] {
        if (addDevice(m_addressEdit->text()))
            m_addressEdit->clear();
    });
    auto* remove = new QAction(tr("Remove"), this);
    remove->setObjectName(QStringLiteral("removeAction"));
    connect(remove, &QAction::triggered, this, [this] {
        // A run works on the rows by their numbers.
        if (isBusy())
            return;
        std::vector<int> rows;
        for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
            rows.push_back(m_proxy->mapToSource(index).row());
        m_model->remove(rows);
        saveList();
    });
    QAction* refreshAction = action(tr("Refresh"), "refreshAction", &DevicesWindow::refresh);
    refreshAction->setShortcut(QKeySequence::Refresh);
    QAction* backUpAction = action(tr("Back Up..."), "backUpAction", &DevicesWindow::backUp);
    QAction* compare = action(tr("Compare with File..."), "compareAction", &DevicesWindow::compareWithFile);
    QAction* apply = action(tr("Apply File..."), "applyAction", &DevicesWindow::applyFile);
    QAction* restore = action(tr("Restore File..."), "restoreAction", &DevicesWindow::restoreFile);
    QAction* rebootAction = action(tr("Reboot"), "rebootAction", &DevicesWindow::reboot);
    QAction* open = action(tr("Open"), "openAction", &DevicesWindow::openDevice);
    QAction* exportAction = action(tr("Export CSV..."), "exportAction", &DevicesWindow::exportCsv);
    m_keepPassword = new QAction(tr("Keep Password in Keyring"), this);
    m_keepPassword->setObjectName(QStringLiteral("keepPasswordAction"));
    m_keepPassword->setCheckable(true);
    // Kept only where a keyring is there to keep it; otherwise the password is asked once a window,
    // and the operator told why when it is.
    if (QSettings().value(kKeepPasswordKey, false).toBool()) {
        m_keyringMissing = !m_options.keyring->available();
        m_keepPassword->setChecked(!m_keyringMissing);
    }
    connect(m_keepPassword, &QAction::toggled, this, &DevicesWindow::setKeepPassword);
    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setObjectName(QStringLiteral("closeAction"));
    closeAction->setShortcut(QKeySequence::Close);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);

    m_jobActions = {discoverAction, inventory, add,   remove,  refreshAction,
                    backUpAction,   compare,   apply, restore, rebootAction};

    QMenu* devices = menuBar()->addMenu(tr("&Devices"));
    devices->setObjectName(QStringLiteral("devicesMenu"));
    devices->addActions({discoverAction, inventory, add, remove});
    devices->addSeparator();
    devices->addActions({refreshAction, backUpAction, compare, apply, restore, rebootAction, open});
    devices->addSeparator();
    devices->addAction(exportAction);
    devices->addSeparator();
    devices->addAction(m_keepPassword);
    devices->addSeparator();
    devices->addAction(closeAction);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QMenu* columns = view->addMenu(tr("Columns"));
    columns->setObjectName(QStringLiteral("columnsMenu"));
    const QStringList hidden = QSettings().value(kHiddenColumnsKey).toStringList();
    for (int c = 0; c < DeviceListModel::ColumnCount; ++c) {
        QAction* shownColumn = columns->addAction(DeviceListModel::columnName(c));
        shownColumn->setObjectName(QStringLiteral("column%1Action").arg(c));
        shownColumn->setCheckable(true);
        const bool isHidden = hidden.contains(QString::number(c));
        shownColumn->setChecked(!isHidden);
        m_list->setColumnHidden(c, isHidden);
        connect(shownColumn, &QAction::toggled, this, [this, c](bool on) {
            m_list->setColumnHidden(c, !on);
            QStringList hiddenNow;
            for (int k = 0; k < DeviceListModel::ColumnCount; ++k)
                if (m_list->isColumnHidden(k))
                    hiddenNow << QString::number(k);
            QSettings().setValue(kHiddenColumnsKey, hiddenNow);
        });
        m_columnActions.push_back(shownColumn);
    }

    // What fills the list on one row, what is done with it on the next.
    QToolBar* list = addToolBar(tr("List"));
    list->setObjectName(QStringLiteral("listToolBar"));
    list->addActions({discoverAction, inventory});
    list->addSeparator();
    list->addWidget(labelFor(tr("Address"), m_addressEdit, list));
    list->addWidget(m_addressEdit);
    list->addActions({add, remove});
    addToolBarBreak();
    QToolBar* tools = addToolBar(tr("Actions"));
    tools->setObjectName(QStringLiteral("actionsToolBar"));
    tools->addActions(
        {refreshAction, backUpAction, compare, apply, restore, rebootAction, open, exportAction});
    tools->addSeparator();
    tools->addWidget(labelFor(tr("Parallel"), m_parallel, tools));
    tools->addWidget(m_parallel);
}

bool DevicesWindow::isBusy() const {
    return m_job != nullptr || m_discovering;
}

void DevicesWindow::updateActions() {
    const bool busy = isBusy();
    for (QAction* a : m_jobActions)
        a->setEnabled(!busy);
    const bool rows = m_model->rowCount() > 0;
    for (const char* name :
         {"refreshAction", "backUpAction", "compareAction", "applyAction", "restoreAction", "rebootAction"})
        findChild<QAction*>(QLatin1String(name))->setEnabled(!busy && rows);
    const bool selected = m_list->selectionModel()->hasSelection();
    findChild<QAction*>(QStringLiteral("removeAction"))->setEnabled(!busy && selected);
    findChild<QAction*>(QStringLiteral("openAction"))->setEnabled(selected);
    m_parallel->setEnabled(!busy);
}

std::vector<int> DevicesWindow::chosenRows() const {
    QModelIndexList shownRows = m_list->selectionModel()->selectedRows();
    if (shownRows.isEmpty())
        for (int r = 0; r < m_proxy->rowCount(); ++r)
            shownRows << m_proxy->index(r, 0);
    std::sort(shownRows.begin(), shownRows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int> rows;
    for (const QModelIndex& index : shownRows)
        rows.push_back(m_proxy->mapToSource(index).row());
    return rows;
}

bool DevicesWindow::openInventory(const QString& path) {
    std::string error;
    std::optional<std::vector<fleet::Device>> devices = fleet::devicesFromInventory(path, {}, error);
    if (!devices) {
        m_prompter.message(tr("The inventory was not opened: %1").arg(fromStd(error)));
        return false;
    }
    for (fleet::Device& device : *devices) {
        DeviceRow row;
        row.device = std::move(device);
        row.fromInventory = true;
        m_model->add(std::move(row));
    }
    m_inventory = QFileInfo(path).absoluteFilePath();
    QSettings().setValue(kInventoryKey, m_inventory);
    saveList();
    statusBar()->showMessage(tr("Devices from %1: %2").arg(QFileInfo(path).fileName()).arg(devices->size()));
    return true;
}

bool DevicesWindow::addDevice(const QString& text) {
    const std::optional<fleet::HostAddress> address = fleet::parseHostAddress(toStd(text.trimmed()));
    if (!address) {
        m_prompter.message(
            tr("Type the device's address as HOST or HOST:PORT, such as 192.168.0.10 or 192.168.0.10:9000."));
        return false;
    }
    DeviceRow row;
    row.device.address = *address;
    row.device.variables = {{"host", address->host}};
    const int index = m_model->add(std::move(row));
    m_list->scrollTo(m_proxy->mapFromSource(m_model->index(index, 0)));
    saveList();
    return true;
}

void DevicesWindow::setKeepPassword(bool keep) {
    Keyring& keyring = *m_options.keyring;
    if (keep && !keyring.available()) {
        m_prompter.message(keyringMissingText());
        const QSignalBlocker blocker(m_keepPassword);
        m_keepPassword->setChecked(false);
        return;
    }
    QSettings().setValue(kKeepPasswordKey, keep);
    if (keep && m_credentials) {
        const KeyringResult stored = keyring.store(kKeyringKey, *m_credentials);
        if (!stored.ok)
            m_prompter.message(tr("The password could not be kept in the keyring: %1").arg(stored.error));
        m_keyringStale = !stored.ok;
    } else if (!keep) {
        const KeyringResult forgotten = keyring.forget(kKeyringKey);
        if (!forgotten.ok)
            m_prompter.message(
                tr("The password could not be removed from the keyring: %1").arg(forgotten.error));
    }
}

QString DevicesWindow::keyringMissingText() {
    return tr("The desktop's keyring is not available, so the password cannot be kept: it is asked for "
              "once each time the Devices window opens.");
}

bool DevicesWindow::ensureCredentials(const std::vector<int>& rows) {
    if (m_credentials || std::all_of(rows.begin(), rows.end(), [this](int r) {
            return m_model->row(r).device.credentials.has_value();
        }))
        return true;
    Keyring& keyring = *m_options.keyring;
    const bool keep = m_keepPassword->isChecked();
    if (keep && !m_keyringStale) {
        const KeyringResult loaded = keyring.load(kKeyringKey);
        if (loaded.ok && loaded.credentials) {
            m_credentials = loaded.credentials;
            return true;
        }
        if (!loaded.ok)
            m_prompter.message(tr("The password could not be read from the keyring: %1").arg(loaded.error));
    }
    if (std::exchange(m_keyringMissing, false))
        m_prompter.message(keyringMissingText());
    const std::optional<Credentials> asked =
        m_options.askCredentials ? m_options.askCredentials() : LoginWindow::ask(this);
    if (!asked)
        return false;
    m_credentials = asked;
    if (keep) {
        const KeyringResult stored = keyring.store(kKeyringKey, *asked);
        if (!stored.ok)
            m_prompter.message(tr("The password could not be kept in the keyring: %1").arg(stored.error));
        m_keyringStale = !stored.ok;
    }
    return true;
}

void DevicesWindow::startJob(fleet::CommandSettings settings, std::vector<int> rows, fleet::DeviceWork work,
                             std::function<void()> done) {
    if (isBusy() || rows.empty() || !ensureCredentials(rows))
        return;
    settings.connect.credentials = m_credentials.value_or(Credentials{});
    settings.connect.discovery = m_options.discoveryTarget;
    settings.connect.timing = m_options.linkTiming;
    settings.connect.probeWait = m_options.probeWait;
    std::vector<fleet::Device> devices;
    devices.reserve(rows.size());
    for (const int r : rows) {
        devices.push_back(m_model->row(r).device);
        m_model->setState(r, DeviceRow::State::Waiting, tr("waiting"));
    }
    m_jobRows = std::move(rows);
    m_jobEnds.clear();
    m_jobDone = std::move(done);
    m_job = std::make_unique<fleet::FleetJob>(std::move(settings), std::move(devices),
                                              std::size_t(m_parallel->value()), std::move(work));
    using fleet::FleetJob;
    connect(m_job.get(), &FleetJob::deviceStarted, this, [this](int i) {
        m_model->setState(m_jobRows[std::size_t(i)], DeviceRow::State::Running, tr("connecting"));
    });
    connect(m_job.get(), &FleetJob::deviceProgress, this, [this](int i, const QString& text) {
        m_model->setState(m_jobRows[std::size_t(i)], DeviceRow::State::Running, text);
    });
    connect(m_job.get(), &FleetJob::deviceFinished, this, &DevicesWindow::onDeviceFinished);
    connect(m_job.get(), &FleetJob::deviceCancelled, this, [this](int i) {
        const int row = m_jobRows[std::size_t(i)];
        m_model->setState(row, DeviceRow::State::Cancelled, tr("cancelled"));
        m_jobEnds.push_back({row, JobEnd::NotStarted});
        m_progress->setValue(int(m_jobEnds.size()));
    });
    connect(m_job.get(), &FleetJob::finished, this, &DevicesWindow::onJobFinished);
    m_progress->setRange(0, int(m_jobRows.size()));
    m_progress->setValue(0);
    m_progress->show();
    m_cancel->setEnabled(true);
    m_cancel->show();
    statusBar()->clearMessage();
    m_job->start();
    updateActions();
}

QString DevicesWindow::resultText(const fleet::DeviceOutcome& o) const {
    if (!o.ok) {
        const std::string messages = fleet::printableMessages(o.messages);
        if (messages.empty())
            return tr("failed at %1").arg(fromStd(o.step));
        return tr("failed at %1: %2").arg(fromStd(o.step), fromStd(messages));
    }
    switch (m_jobKind) {
    case JobKind::Compare:
        return o.different ? tr("different") : tr("ok");
    case JobKind::Check:
        return o.groups.empty() ? tr("unchanged") : tr("would change: %1").arg(shown(joined(o.groups, ", ")));
    case JobKind::Apply:
        return o.groups.empty() ? tr("unchanged") : tr("changed");
    default:
        return tr("ok");
    }
}

void DevicesWindow::onDeviceFinished(int index, const fleet::DeviceOutcome& outcome) {
    const int row = m_jobRows[std::size_t(index)];
    if (outcome.ok && m_jobKind == JobKind::Refresh)
        m_model->setInfo(row, outcome);
    m_model->setState(row, outcome.ok ? DeviceRow::State::Done : DeviceRow::State::Failed,
                      resultText(outcome));
    showDetails(row, outcome);
    // Credentials the devices turned down are not offered again: the next action asks anew.
    if (outcome.step == "login" && !m_model->row(row).device.credentials && m_credentials) {
        m_credentials.reset();
        m_keyringStale = true;
    }
    m_jobEnds.push_back({row, !outcome.ok               ? JobEnd::Failed
                              : !outcome.groups.empty() ? JobEnd::WouldChange
                                                        : JobEnd::Ok});
    m_progress->setValue(int(m_jobEnds.size()));
}

void DevicesWindow::showDetails(int row, const fleet::DeviceOutcome& o) {
    if (m_jobKind == JobKind::Refresh || m_jobKind == JobKind::Reboot || m_jobKind == JobKind::Restore)
        return;
    const QString name = m_model->text(row, DeviceListModel::Name);
    const QString address = m_model->text(row, DeviceListModel::Address);
    const QString device = name.isEmpty() ? address : QStringLiteral("%1 (%2)").arg(name, address);
    QString summary = resultText(o);
    if (o.ok && m_jobKind == JobKind::Backup)
        summary = tr("saved to %1")
                      .arg(QDir::toNativeSeparators(
                          fleet::fileInFolder(m_jobFolder, m_model->row(row).device.address, "kcf")));
    auto* item = new QTreeWidgetItem(m_details, {QStringLiteral("%1: %2").arg(device, summary)});
    item->setFirstColumnSpanned(true);
    const auto side = [](const std::optional<std::string>& value) {
        return value ? shown(*value) : tr("(none)");
    };
    for (const fleet::Difference& d : o.differences)
        new QTreeWidgetItem(item, {QString(), shown(d.group), shown(d.item), side(d.device), side(d.file)});
    for (const std::string& line : o.sent) {
        auto* sent = new QTreeWidgetItem(item, {tr("accepted: %1").arg(shown(line))});
        sent->setFirstColumnSpanned(true);
    }
    item->setExpanded(true);
}

void DevicesWindow::onJobFinished() {
    const bool cancelled = m_job->isCancelled();
    // Not deleted here: the job is still sending this very signal.
    m_job.release()->deleteLater();
    m_progress->hide();
    m_cancel->hide();
    const auto count = [this](JobEnd::Kind kind) {
        return std::count_if(m_jobEnds.begin(), m_jobEnds.end(),
                             [&](const JobEnd& e) { return e.kind == kind; });
    };
    const long long failed = count(JobEnd::Failed);
    const long long notStarted = count(JobEnd::NotStarted);
    statusBar()->showMessage(tr("%1 ended, %2 failed, %3 not started")
                                 .arg(qlonglong(m_jobEnds.size()) - failed - notStarted)
                                 .arg(failed)
                                 .arg(notStarted));
    updateActions();
    saveList();
    const std::function<void()> done = std::exchange(m_jobDone, {});
    if (!cancelled && done)
        done();
    if (!isBusy())
        Q_EMIT idle();
}

void DevicesWindow::cancel() {
    if (!m_job)
        return;
    m_job->cancel();
    m_cancel->setEnabled(false);
    statusBar()->showMessage(tr("Cancelling: the devices under way finish their step."));
}

void DevicesWindow::refresh() {
    m_jobKind = JobKind::Refresh;
    fleet::CommandSettings settings;
    settings.command = fleet::Command::Info;
    startJob(std::move(settings), chosenRows(), {}, {});
}

void DevicesWindow::backUp() {
    const std::vector<int> rows = chosenRows();
    if (rows.empty() || isBusy())
        return;
    // The file dialog picks the folder: every device's file goes there, named after the device as
    // kvx100ctl names it.
    const QString example =
        QFileInfo(fleet::fileInFolder(QStringLiteral("."), m_model->row(rows.front()).device.address, "kcf"))
            .fileName();
    const QString path = m_prompter.saveFileName(configFileFilter(), example, QStringLiteral("kcf"));
    if (path.isEmpty())
        return;
    m_jobKind = JobKind::Backup;
    m_jobFolder = QFileInfo(path).absolutePath();
    m_details->clear();
    fleet::CommandSettings settings;
    settings.command = fleet::Command::Backup;
    settings.file = m_jobFolder;
    settings.fileIsFolder = true;
    startJob(std::move(settings), rows, {}, {});
}

std::optional<fleet::CommandSettings> DevicesWindow::withChosenFile(fleet::Command command) {
    if (isBusy())
        return std::nullopt;
    const QString path = m_prompter.openFileName(configFileFilter(), QStringLiteral("kcf"));
    if (path.isEmpty())
        return std::nullopt;
    QString error;
    std::optional<ProfileFile> file = ProfileFile::fromFile(path, error);
    if (!file) {
        m_prompter.message(tr("The file cannot be read: %1").arg(error));
        return std::nullopt;
    }
    fleet::CommandSettings settings;
    settings.command = command;
    settings.file = path;
    settings.configuration = std::move(*file);
    return settings;
}

void DevicesWindow::compareWithFile() {
    const std::vector<int> rows = chosenRows();
    std::optional<fleet::CommandSettings> settings;
    if (rows.empty() || !(settings = withChosenFile(fleet::Command::Diff)))
        return;
    m_jobKind = JobKind::Compare;
    m_details->clear();
    startJob(std::move(*settings), rows, {}, {});
}

void DevicesWindow::applyFile() {
    const std::vector<int> rows = chosenRows();
    std::optional<fleet::CommandSettings> settings;
    if (rows.empty() || !(settings = withChosenFile(fleet::Command::Apply)))
        return;
    // First the check, which sends nothing; the apply itself waits for the operator's word.
    m_jobKind = JobKind::Check;
    m_details->clear();
    fleet::CommandSettings apply = *settings;
    settings->check = true;
    startJob(std::move(*settings), rows, {}, [this, apply = std::move(apply)] { confirmApply(apply); });
}

void DevicesWindow::confirmApply(const fleet::CommandSettings& apply) {
    std::vector<int> rows;
    for (const JobEnd& end : m_jobEnds)
        if (end.kind == JobEnd::WouldChange)
            rows.push_back(end.row);
    const QString name = QFileInfo(apply.file).fileName();
    if (rows.empty()) {
        m_prompter.message(tr("No device that could be read needs a change from %1.").arg(name));
        return;
    }
    const QString question = rows.size() == 1 ? tr("Apply %1 to 1 device?").arg(name)
                                              : tr("Apply %1 to %2 devices?").arg(name).arg(rows.size());
    if (!m_prompter.askYesNo(tr("Apply File"), question, Prompter::Icon::Question))
        return;
    m_jobKind = JobKind::Apply;
    m_details->clear();
    startJob(apply, std::move(rows), {}, {});
}

void DevicesWindow::restoreFile() {
    std::vector<int> rows = chosenRows();
    std::optional<fleet::CommandSettings> settings;
    if (rows.empty() || !(settings = withChosenFile(fleet::Command::Restore)))
        return;
    const QString name = QFileInfo(settings->file).fileName();
    const QString question = rows.size() == 1 ? tr("Restore %1 to 1 device?").arg(name)
                                              : tr("Restore %1 to %2 devices?").arg(name).arg(rows.size());
    if (!m_prompter.askYesNo(tr("Restore File"), question, Prompter::Icon::Warning))
        return;
    m_jobKind = JobKind::Restore;
    startJob(std::move(*settings), std::move(rows), {}, {});
}

void DevicesWindow::reboot() {
    std::vector<int> rows = chosenRows();
    if (rows.empty() || isBusy())
        return;
    QStringList lines;
    int links = 0;
    for (std::size_t i = 0; i < rows.size() && i < std::size_t(kNamesInQuestion); ++i) {
        const DeviceRow& row = m_model->row(rows[i]);
        const QString name = m_model->text(rows[i], DeviceListModel::Name);
        const QString address = m_model->text(rows[i], DeviceListModel::Address);
        const QString device = name.isEmpty() ? address : QStringLiteral("%1 (%2)").arg(name, address);
        lines << (!row.links        ? tr("%1: live links not read").arg(device)
                  : *row.links == 1 ? tr("%1: 1 live link").arg(device)
                                    : tr("%1: %2 live links").arg(device).arg(*row.links));
    }
    for (const int r : rows)
        links += m_model->row(r).links.value_or(0);
    if (rows.size() > std::size_t(kNamesInQuestion))
        lines << tr("and %1 more").arg(rows.size() - std::size_t(kNamesInQuestion));
    const QString question =
        (rows.size() == 1 ? tr("Reboot 1 device?") : tr("Reboot %1 devices?").arg(rows.size())) + u'\n' +
        lines.join(u'\n') + u'\n' + tr("Live links that drop while they restart: %1").arg(links);
    if (!m_prompter.askYesNo(tr("Reboot"), question, Prompter::Icon::Warning))
        return;
    m_jobKind = JobKind::Reboot;
    startJob(fleet::CommandSettings{}, std::move(rows), &fleet::rebootDevice, {});
}

void DevicesWindow::openDevice() {
    const QModelIndex current = m_list->selectionModel()->selectedRows().value(0);
    if (!current.isValid())
        return;
    const DeviceRow& row = m_model->row(m_proxy->mapToSource(current).row());
    MainWindowOptions options = m_options.deviceWindow;
    if (!options.prompter)
        options.prompter = m_options.prompter;
    options.discoveryTarget = m_options.discoveryTarget;
    options.presetAddress = fromStd(row.device.address.host);
    options.presetPort = row.device.address.port == 0 ? QString() : QString::number(row.device.address.port);
    // Its own window, with its own search, login and life: closing this list leaves it open.
    auto* window = new MainWindow(std::move(options));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->initialise()) {
        delete window;
        return;
    }
    window->show();
}

void DevicesWindow::exportCsv() {
    const QString path = m_prompter.saveFileName(tr("CSV Files(*.csv);;All Files(*.*)"),
                                                 QStringLiteral("devices.csv"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    std::vector<int> columns;
    for (int c = 0; c < DeviceListModel::ColumnCount; ++c)
        if (!m_list->isColumnHidden(c))
            columns.push_back(c);
    QStringList lines;
    QStringList header;
    for (const int c : columns)
        header << csvField(DeviceListModel::columnName(c));
    lines << header.join(u',');
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        const int row = m_proxy->mapToSource(m_proxy->index(r, 0)).row();
        QStringList fields;
        for (const int c : columns)
            fields << csvField(m_model->text(row, c));
        lines << fields.join(u',');
    }
    QString error;
    if (!replaceFile(path, toStd(lines.join(u'\n') + u'\n'), error))
        m_prompter.message(tr("The list was not saved.") + u'\n' + error);
}

void DevicesWindow::discover() {
    if (isBusy())
        return;
    m_discovering = true;
    m_discoveredCount = 0;
    updateActions();
    statusBar()->showMessage(tr("Searching..."));
    m_discovery = std::thread([this, target = m_options.discoveryTarget] {
        DiscoverySocket socket(target);
        const bool sent = socket.open() &&
                          socket.search(
                              std::chrono::seconds(1),
                              [this](const DeviceRecord& record) {
                                  QMetaObject::invokeMethod(
                                      this, [this, record] { onDiscovered(record); }, Qt::QueuedConnection);
                              },
                              [] {});
        const int error = socket.lastError();
        QMetaObject::invokeMethod(
            this, [this, sent, error] { onDiscoveryEnded(sent, error); }, Qt::QueuedConnection);
    });
}

void DevicesWindow::onDiscovered(const DeviceRecord& record) {
    const std::optional<fleet::HostAddress> ip = fleet::parseHostAddress(record.ipAddress);
    if (!ip || !ip->isDotted() || ip->port != 0)
        return;
    DeviceRow row;
    row.device.address = *ip;
    const unsigned port = leadingDecimal(record.controlPort);
    row.device.address.port = port <= 65535 ? port : 0;
    row.device.variables = {{"host", ip->host}};
    row.btName = record.btName;
    row.mac = record.macAddress;
    row.model = record.modelCode;
    row.serial = record.serialNumber;
    m_model->add(std::move(row));
    ++m_discoveredCount;
}

void DevicesWindow::onDiscoveryEnded(bool sent, int error) {
    if (m_discovery.joinable())
        m_discovery.join();
    m_discovering = false;
    statusBar()->clearMessage();
    updateActions();
    saveList();
    if (!sent) {
        QString text = searchText("Search Error. Check Lumeno-KVX and Try again.");
        if (error != 0)
            text += u'\n' + fromStd(net::errorText(error));
        m_prompter.message(text);
    } else if (m_discoveredCount == 0) {
        m_prompter.message(searchText("No device answered the search."));
    }
    Q_EMIT idle();
}

void DevicesWindow::closeEvent(QCloseEvent* event) {
    // What runs is told to stop; the destructor waits for the devices under way.
    if (m_job)
        m_job->cancel();
    QMainWindow::closeEvent(event);
}

void DevicesWindow::saveList() const {
    QSettings settings;
    settings.remove(kListKey);
    settings.beginWriteArray(kListKey, m_model->rowCount());
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const DeviceRow& row = m_model->row(i);
        settings.setArrayIndex(i);
        // Never the credentials: an inventory's come from its password files again at the next start.
        settings.setValue("address", fromStd(row.device.label()));
        settings.setValue("name", QByteArray::fromStdString(row.device.name));
        settings.setValue("inventory", row.fromInventory);
        QStringList groups;
        for (const std::string& group : row.device.groups)
            groups << fromStd(group);
        settings.setValue("groups", groups);
        settings.setValue("btName", QByteArray::fromStdString(row.btName));
        settings.setValue("mac", QByteArray::fromStdString(row.mac));
        settings.setValue("model", QByteArray::fromStdString(row.model));
        settings.setValue("serial", QByteArray::fromStdString(row.serial));
        settings.setValue("firmware", QByteArray::fromStdString(row.firmware));
        settings.setValue("mode", QByteArray::fromStdString(row.mode));
        settings.setValue("links", row.links.value_or(-1));
    }
    settings.endArray();
}

void DevicesWindow::restoreList() {
    QSettings settings;
    const int count = settings.beginReadArray(kListKey);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const std::optional<fleet::HostAddress> address =
            fleet::parseHostAddress(toStd(settings.value("address").toString()));
        if (!address)
            continue;
        DeviceRow row;
        row.device.address = *address;
        row.device.name = settings.value("name").toByteArray().toStdString();
        row.device.variables = {{"host", address->host}};
        if (!row.device.name.empty())
            row.device.variables["name"] = row.device.name;
        for (const QString& group : settings.value("groups").toStringList())
            row.device.groups.push_back(toStd(group));
        row.fromInventory = settings.value("inventory").toBool();
        row.btName = settings.value("btName").toByteArray().toStdString();
        row.mac = settings.value("mac").toByteArray().toStdString();
        row.model = settings.value("model").toByteArray().toStdString();
        row.serial = settings.value("serial").toByteArray().toStdString();
        row.firmware = settings.value("firmware").toByteArray().toStdString();
        row.mode = settings.value("mode").toByteArray().toStdString();
        if (const int links = settings.value("links", -1).toInt(); links >= 0)
            row.links = links;
        m_model->add(std::move(row));
    }
    settings.endArray();
    // The inventory is read again for what the list does not keep: credentials and variables.
    m_inventory = settings.value(kInventoryKey).toString();
    if (m_inventory.isEmpty())
        return;
    std::string error;
    std::optional<std::vector<fleet::Device>> devices = fleet::devicesFromInventory(m_inventory, {}, error);
    if (!devices) {
        statusBar()->showMessage(tr("The inventory was not opened: %1").arg(fromStd(error)));
        return;
    }
    for (fleet::Device& device : *devices) {
        // Only the devices still listed: one the operator removed stays removed.
        const std::optional<int> listed = m_model->find(device.address);
        if (!listed || !m_model->row(*listed).fromInventory)
            continue;
        DeviceRow row;
        row.device = std::move(device);
        row.fromInventory = true;
        m_model->add(std::move(row));
    }
}

} // namespace kvx
