#include "bluetooth_page.h"

#include "core/device_session.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "core/bluetooth_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kvx {
namespace {

constexpr int kPinMaxLength = 18;

QLineEdit* lineEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    keepToOneLine(edit);
    return edit;
}

} // namespace

BluetoothPage::BluetoothPage(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : Page(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_name(lineEdit(QStringLiteral("nameEdit"), this))
    , m_maxDt(makeUpDown(QStringLiteral("maxDt")))
    , m_linkTimeout(makeUpDown(QStringLiteral("linkTimeout")))
    , m_security(new QComboBox(this))
    , m_pin(lineEdit(QStringLiteral("pinEdit"), this))
    , m_pairable(new QCheckBox(tr("Pairable"), this))
    , m_connectable(new QCheckBox(tr("Connectable"), this))
    , m_discoverable(new QCheckBox(tr("Discoverable"), this))
    , m_localDevices(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("bluetoothPage"));

    // The MaxDT arrows get their range from the first load that reads every setting.
    setRange(m_linkTimeout, 1, 30);
    m_linkTimeout.position = 30;
    m_linkTimeout.field->setText(QStringLiteral("30"));

    m_security->setObjectName(QStringLiteral("securityCombo"));
    m_security->addItems({tr("low"), tr("high")});
    m_security->setCurrentIndex(0);
    m_pin->setMaxLength(kPinMaxLength);
    m_pairable->setObjectName(QStringLiteral("pairableCheck"));
    m_connectable->setObjectName(QStringLiteral("connectableCheck"));
    m_discoverable->setObjectName(QStringLiteral("discoverableCheck"));

    const auto withArrows = [](const UpDown& upDown) {
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        arrows->addWidget(upDown.up);
        arrows->addWidget(upDown.down);
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(upDown.field);
        row->addLayout(arrows);
        return row;
    };
    auto* form = new QGridLayout;
    form->addWidget(labelFor(tr("Name"), m_name, this), 0, 0);
    form->addWidget(m_name, 0, 1, 1, 2);
    form->addWidget(labelFor(tr("MaxDT"), m_maxDt.field, this), 1, 0);
    form->addLayout(withArrows(m_maxDt), 1, 1);
    form->addWidget(labelFor(tr("LinkTimeout"), m_linkTimeout.field, this), 2, 0);
    form->addLayout(withArrows(m_linkTimeout), 2, 1);
    form->addWidget(new QLabel(tr("sec"), this), 2, 2);
    form->addWidget(labelFor(tr("Security"), m_security, this), 3, 0);
    form->addWidget(m_security, 3, 1);
    form->addWidget(labelFor(tr("PIN Code"), m_pin, this), 4, 0);
    form->addWidget(m_pin, 4, 1, 1, 2);
    form->setColumnStretch(3, 1);

    auto* checks = new QHBoxLayout;
    for (QCheckBox* box : {m_pairable, m_connectable, m_discoverable})
        checks->addWidget(box);
    checks->addStretch();
    auto* applyButton = new QPushButton(tr("Apply"), this);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    auto* refreshButton = new QPushButton(tr("Refresh"), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    checks->addWidget(applyButton);
    checks->addWidget(refreshButton);

    auto* group = new QGroupBox(tr("Local Devices"), this);
    const char* const captions[kLocalDeviceFields] = {
        QT_TR_NOOP("idx"),     QT_TR_NOOP("         BDAddr"), QT_TR_NOOP("     Tx"),
        QT_TR_NOOP("     Rx"), QT_TR_NOOP(" Tx_Err"),         QT_TR_NOOP(" Rx_Err"),
    };
    const int widths[kLocalDeviceFields] = {40, 220, 90, 90, 70, 70};
    QStringList headers;
    for (const char* caption : captions)
        headers << tr(caption);
    m_localDevices->setObjectName(QStringLiteral("localDevicesList"));
    m_localDevices->setAccessibleName(group->title());
    m_localDevices->setColumnCount(kLocalDeviceFields);
    m_localDevices->setHeaderLabels(headers);
    setUpReportList(m_localDevices);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(9);
    m_localDevices->setFont(fixed);
    for (int c = 0; c < kLocalDeviceFields; ++c)
        m_localDevices->setColumnWidth(c, widths[c]);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_localDevices);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(checks);
    layout->addWidget(group, 1);

    for (UpDown* upDown : {&m_maxDt, &m_linkTimeout}) {
        connect(upDown->up, &QToolButton::clicked, this, [upDown] { step(*upDown, +1); });
        connect(upDown->down, &QToolButton::clicked, this, [upDown] { step(*upDown, -1); });
    }
    connect(applyButton, &QPushButton::clicked, this, &BluetoothPage::apply);
    connect(refreshButton, &QPushButton::clicked, this, &BluetoothPage::refresh);
}

BluetoothPage::UpDown BluetoothPage::makeUpDown(const QString& name) {
    UpDown upDown;
    upDown.field = lineEdit(name + QStringLiteral("Edit"), this);
    upDown.field->installEventFilter(this);
    upDown.field->setMaximumWidth(80);
    const auto arrow = [&](Qt::ArrowType type, const QString& suffix) {
        auto* b = new QToolButton(this);
        b->setObjectName(name + suffix);
        b->setArrowType(type);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        // Without a range the arrows would have nothing to step within.
        b->setEnabled(false);
        return b;
    };
    upDown.up = arrow(Qt::UpArrow, QStringLiteral("Up"));
    upDown.down = arrow(Qt::DownArrow, QStringLiteral("Down"));
    return upDown;
}

void BluetoothPage::setRange(UpDown& upDown, int low, int high) {
    upDown.low = low;
    upDown.high = high;
    upDown.up->setEnabled(true);
    upDown.down->setEnabled(true);
}

void BluetoothPage::step(UpDown& upDown, int delta) {
    bool isNumber = false;
    const int typed = upDown.field->text().toInt(&isNumber);
    // Text that is no number of the range leaves the arrows stepping from where they last stood.
    if (isNumber && typed >= upDown.low && typed <= upDown.high)
        upDown.position = typed;
    upDown.position = std::clamp(upDown.position + delta, upDown.low, upDown.high);
    upDown.field->setText(QString::number(upDown.position));
}

bool BluetoothPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (UpDown* upDown : {&m_maxDt, &m_linkTimeout}) {
            if (watched == upDown->field && upDown->up->isEnabled() &&
                (key == Qt::Key_Up || key == Qt::Key_Down)) {
                step(*upDown, key == Qt::Key_Up ? +1 : -1);
                return true;
            }
        }
    }
    return Page::eventFilter(watched, event);
}

void BluetoothPage::connectionReplaced() {
    m_name->clear();
    // The stored name goes with the field; a name applied before still counts as applied, now empty.
    if (m_appliedName)
        m_appliedName->clear();
    m_pin->clear();
    m_maxDt.field->clear();
}

std::optional<std::string> BluetoothPage::query(std::string_view command, int wait,
                                                const QString& timeoutText, const QString& failText) {
    const std::string reply = m_session.transact(command, wait);
    if (reply.empty()) {
        m_prompter.message(timeoutText);
        m_session.postReconnect();
        return std::nullopt;
    }
    const std::string_view normalised = normalisedReply(reply);
    if (!startsWithOk(normalised)) {
        m_prompter.message(failText);
        return std::nullopt;
    }
    return std::string(normalised);
}

bool BluetoothPage::set(const std::string& command, int wait, const QString& timeoutText,
                        const QString& failText) {
    const std::string reply = m_session.transact(command, wait);
    if (reply.empty()) {
        m_prompter.message(timeoutText);
        m_session.postReconnect();
        return false;
    }
    if (normalisedReply(reply) != "+OK") {
        m_prompter.message(failText);
        return false;
    }
    return true;
}

bool BluetoothPage::readSettings(bool withLinkTimeout) {
    const std::optional<std::string> name =
        query("BTName\r\n", 10, tr("Get Bluetooth Information is timeout. Check Lumeno-KVX and Try again."),
              tr("Get BTName is Failed. Try again."));
    if (!name)
        return false;
    m_name->setText(QString::fromStdString(valueFrom(*name, kQueryValuePosition)));

    const std::optional<std::string> maxDt =
        query("Maxdt\r\n", 0, tr("Get Maxdt is timeout. Check Lumeno-KVX and Try again."),
              tr("Get Maxdt is Failed. Try again."));
    if (!maxDt)
        return false;
    m_maxDt.field->setText(QString::fromStdString(valueFrom(*maxDt, kMaxDtValuePosition)));

    if (withLinkTimeout) {
        const std::optional<std::string> linkTimeout =
            query("Linkto\r\n", 0, tr("Get LinkTimeout is timeout. Check Lumeno-KVX and Try again."),
                  tr("Get LinkTimeout is Failed. Try again."));
        if (!linkTimeout)
            return false;
        m_linkTimeout.field->setText(QString::fromStdString(linkTimeoutFrom(*linkTimeout)));
    }

    const std::optional<std::string> scan =
        query("Scan\r\n", 0, tr("Get Scan is timeout. Check Lumeno-KVX and Try again."),
              tr("Get Scan is Failed. Try again."));
    if (!scan)
        return false;
    if (const std::optional<ScanMode> mode = scanModeFromReport(valueFrom(*scan, kQueryValuePosition))) {
        m_discoverable->setChecked(mode->discoverable);
        m_connectable->setChecked(mode->connectable);
    }

    const std::optional<std::string> security =
        query("Secu\r\n", 0, tr("Get Security is timeout. Check Lumeno-KVX and Try again."),
              tr("Get Security is Failed. Try again."));
    if (!security)
        return false;
    if (const std::optional<int> entry = securityEntryFromReport(valueFrom(*security, kQueryValuePosition)))
        m_security->setCurrentIndex(*entry);

    const std::optional<std::string> pairable =
        query("Pair\r\n", 0, tr("Get Pairable is timeout. Check Lumeno-KVX and Try again."),
              tr("Get Pairable is Failed. Try again."));
    if (!pairable)
        return false;
    if (const std::optional<bool> on = pairableFromReport(valueFrom(*pairable, kQueryValuePosition)))
        m_pairable->setChecked(*on);
    return true;
}

void BluetoothPage::load() {
    if (!readSettings(true))
        return;
    readLocalDevices();
    setRange(m_maxDt, 0, 14);
}

void BluetoothPage::refresh() {
    readSettings(false);
}

void BluetoothPage::readLocalDevices() {
    m_localDevices->clear();
    const std::string reply = m_session.transact("Stat\r\n", 10);
    if (reply.empty()) {
        m_prompter.message(tr("Get Stat is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    const LocalDevices devices = parseLocalDevices(reply);
    if (devices.outcome == LocalDevices::Outcome::Refused) {
        m_prompter.message(tr("Stat is Failed. Try again."));
        return;
    }
    for (const std::vector<std::string>& fields : devices.rows) {
        QStringList texts;
        for (const std::string& field : fields)
            texts << QString::fromStdString(field);
        m_localDevices->addTopLevelItem(new QTreeWidgetItem(texts));
    }
    if (devices.outcome == LocalDevices::Outcome::Imperfect)
        m_prompter.message(tr("Get Local Devices is imperfect. Try again."));
}

void BluetoothPage::apply() {
    const QString name = m_name->text();
    const QString pin = m_pin->text();
    const QString maxDt = m_maxDt.field->text();
    const QString linkTimeout = m_linkTimeout.field->text();
    if (maxDt.isEmpty() && name.isEmpty() && linkTimeout.isEmpty()) {
        m_prompter.message(tr("Fill the Maxdt and Lumeno-KVX Name."));
        return;
    }
    if (maxDt.isEmpty()) {
        m_prompter.message(tr("Fill the Maxdt."));
        return;
    }
    if (name.isEmpty()) {
        m_prompter.message(tr("Fill the Lumeno-KVX Name."));
        return;
    }
    if (linkTimeout.isEmpty()) {
        m_prompter.message(tr("Fill the LinkTimeout."));
        return;
    }

    if (!set("BTName " + name.toStdString() + "\r\n", 10,
             tr("Set Bluetooth Information is timeout. Check Lumeno-KVX and Try again."),
             tr("BTName Setup Fail. Try again.")))
        return;
    if (!set("Maxdt " + maxDt.toStdString() + "\r\n", 0,
             tr("Set Maxdt is timeout. Check Lumeno-KVX and Try again."), tr("Maxdt Setup Fail. Try again.")))
        return;
    if (!set("Linkto " + linkTimeout.toStdString() + "\r\n", 0,
             tr("Set LinkTimeout is timeout. Check Lumeno-KVX and Try again."),
             tr("LinkTimeout Setup Fail. Try again.")))
        return;
    const std::string_view selected = securityWord(m_security->currentIndex());
    if (!selected.empty())
        m_lastSecurityWord = selected;
    if (!set("Secu " + m_lastSecurityWord + "\r\n", 0,
             tr("Set Security is timeout. Check Lumeno-KVX and Try again."),
             tr("Security Setup Fail. Try again.")))
        return;
    if (!pin.isEmpty() && !set("Pin " + pin.toStdString() + "\r\n", 0,
                               tr("Set Pin Code is timeout. Check Lumeno-KVX and Try again."),
                               tr("Pin Code Setup Fail. Try again.")))
        return;
    if (!set("Pair " + std::string(pairableWord(m_pairable->isChecked())) + "\r\n", 0,
             tr("Set Pairable is timeout. Check Lumeno-KVX and Try again."),
             tr("Pairable Setup Fail. Try again.")))
        return;

    const ScanMode mode{m_discoverable->isChecked(), m_connectable->isChecked()};
    QString scanFailText;
    if (mode.discoverable && mode.connectable)
        scanFailText = tr("Discoverable and Connectable Setup Fail. Try again.");
    else if (mode.discoverable)
        scanFailText = tr("Discoverable Setup Fail. Try again.");
    else if (mode.connectable)
        scanFailText = tr("Connectable Setup Fail. Try again.");
    else
        scanFailText = tr("Noscan Setup Fail. Try again.");
    if (!set("Scan " + std::string(scanWord(mode)) + "\r\n", 0,
             tr("Set Scan is timeout. Check Lumeno-KVX and Try again."), scanFailText))
        return;

    m_pin->clear();
    m_appliedName = name.toStdString();
}

} // namespace kvx
