#include "bluetooth_page.h"

#include "controls/spin_field.h"
#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace kvx {
namespace {

constexpr int kPinMaxLength = 18;
// The ranges of the arrows, and of what Apply sends.
constexpr int kMaxDtLow = 0;
constexpr int kMaxDtHigh = 14;
constexpr int kLinkTimeoutLow = 1;
constexpr int kLinkTimeoutHigh = 30;

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
    , m_maxDt(new SpinField(QStringLiteral("maxDt"), this))
    , m_linkTimeout(new SpinField(QStringLiteral("linkTimeout"), this))
    , m_security(new QComboBox(this))
    , m_pin(lineEdit(QStringLiteral("pinEdit"), this))
    , m_pairable(new QCheckBox(tr("Pairable"), this))
    , m_connectable(new QCheckBox(tr("Connectable"), this))
    , m_discoverable(new QCheckBox(tr("Discoverable"), this))
    , m_localDevices(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("bluetoothPage"));

    // The MaxDT arrows get their range from the first load that reads every setting.
    m_linkTimeout->setRange(kLinkTimeoutLow, kLinkTimeoutHigh);
    m_linkTimeout->setValue(kLinkTimeoutHigh);
    for (SpinField* field : {m_maxDt, m_linkTimeout})
        keepToOneLine(field->edit());

    m_security->setObjectName(QStringLiteral("securityCombo"));
    m_security->addItems({tr("low"), tr("high")});
    m_security->setCurrentIndex(0);
    m_pin->setMaxLength(kPinMaxLength);
    m_pairable->setObjectName(QStringLiteral("pairableCheck"));
    m_connectable->setObjectName(QStringLiteral("connectableCheck"));
    m_discoverable->setObjectName(QStringLiteral("discoverableCheck"));

    auto* form = new QGridLayout;
    form->addWidget(labelFor(tr("Name"), m_name, this), 0, 0);
    form->addWidget(m_name, 0, 1, 1, 2);
    form->addWidget(labelFor(tr("MaxDT"), m_maxDt->edit(), this), 1, 0);
    form->addWidget(m_maxDt, 1, 1);
    form->addWidget(labelFor(tr("LinkTimeout"), m_linkTimeout->edit(), this), 2, 0);
    form->addWidget(m_linkTimeout, 2, 1);
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
    QPushButton* applyButton = namedButton(tr("Apply"), "applyButton", this);
    QPushButton* refreshButton = namedButton(tr("Refresh"), "refreshButton", this);
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

    connect(applyButton, &QPushButton::clicked, this, &BluetoothPage::apply);
    connect(refreshButton, &QPushButton::clicked, this, &BluetoothPage::refresh);
}

void BluetoothPage::connectionReplaced() {
    m_settingsRead.clear();
    m_linkTimeoutRead = false;
    m_name->clear();
    // A name applied before was applied to another connection's device.
    m_appliedName.reset();
    m_pin->clear();
    m_maxDt->edit()->clear();
}

bool BluetoothPage::readSettings(WindowLoad& load, bool withLinkTimeout) {
    using Show = std::function<void(std::string_view normalised)>;
    const std::pair<const QueryStep*, Show> readings[] = {
        {&kBtNameQuery,
         [this](std::string_view r) {
             showDeviceText(*m_name, valueFrom(r, kQueryValuePosition));
         }},
        {&kMaxDtQuery,
         [this](std::string_view r) {
             showDeviceText(*m_maxDt->edit(), valueFrom(r, kMaxDtValuePosition));
         }},
        {withLinkTimeout ? &kLinkTimeoutQuery : nullptr,
         [this](std::string_view r) {
             showDeviceText(*m_linkTimeout->edit(), linkTimeoutFrom(r));
             m_linkTimeoutRead = true;
         }},
        {&kScanQuery,
         [this](std::string_view r) {
             if (const std::optional<ScanMode> mode = scanModeFromReport(valueFrom(r, kQueryValuePosition))) {
                 m_discoverable->setChecked(mode->discoverable);
                 m_connectable->setChecked(mode->connectable);
             }
         }},
        {&kSecurityQuery,
         [this](std::string_view r) {
             if (const std::optional<int> entry = securityEntryFromReport(valueFrom(r, kQueryValuePosition)))
                 m_security->setCurrentIndex(*entry);
         }},
        {&kPairableQuery,
         [this](std::string_view r) {
             if (const std::optional<bool> on = pairableFromReport(valueFrom(r, kQueryValuePosition)))
                 m_pairable->setChecked(*on);
         }},
    };
    for (const auto& [step, show] : readings) {
        if (step == nullptr)
            continue;
        const QueryOutcome reply = load.run(*step);
        if (!reply)
            return false;
        load.show([shown = show, normalised = std::string(reply.normalised())] { shown(normalised); });
    }
    return true;
}

void BluetoothPage::load() {
    WindowLoad load(m_session, m_prompter, &m_settingsRead);
    if (!readSettings(load, true))
        return;
    load.valuesRead();
    const bool listed = readLocalDevices(load);
    // A failed read of the local radios still ranges the MaxDT arrows.
    load.show([this] { m_maxDt->setRange(kMaxDtLow, kMaxDtHigh); });
    if (listed)
        load.finish();
}

void BluetoothPage::refresh() {
    {
        WindowLoad load(m_session, m_prompter, &m_settingsRead);
        if (readSettings(load, false))
            load.finish();
    }
    if (!m_linkTimeoutRead)
        m_settingsRead.clear();
}

bool BluetoothPage::readLocalDevices(WindowLoad& load) {
    LocalDevices devices;
    const QueryOutcome reply = load.run(kLocalDevicesQuery, ReplyForm::List, [&devices](std::string_view r) {
        devices = parseLocalDevices(r);
        return devices.outcome != LocalDevices::Outcome::Refused;
    });
    load.show([this, devices, read = reply.accepted()] {
        m_localDevices->clear();
        if (!read)
            return;
        for (const std::vector<std::string>& fields : devices.rows) {
            QStringList texts;
            for (const std::string& field : fields)
                texts << deviceTextShown(field);
            m_localDevices->addTopLevelItem(new QTreeWidgetItem(texts));
        }
        if (devices.outcome == LocalDevices::Outcome::Imperfect)
            m_prompter.message(tr("Get Local Devices is imperfect. Try again."));
    });
    return reply.accepted();
}

void BluetoothPage::apply() {
    const QString name = m_name->text();
    const QString pin = m_pin->text();
    const QString maxDt = m_maxDt->edit()->text();
    const QString linkTimeout = m_linkTimeout->edit()->text();
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
    if (!m_settingsRead.allowsSending(m_prompter) ||
        !numbersFit(m_prompter,
                    {{m_maxDt->edit(), tr("MaxDT"), kMaxDtLow, kMaxDtHigh},
                     {m_linkTimeout->edit(), tr("LinkTimeout"), kLinkTimeoutLow, kLinkTimeoutHigh}}))
        return;

    const auto sent = [this](const QueryStep& step, const std::string& line) {
        return runQuery(m_session, m_prompter, step, line + "\r\n").accepted();
    };
    const std::string nameBytes = deviceFieldBytes(*m_name);
    if (!sent(kBtNameSet, "BTName " + nameBytes) ||
        !sent(kMaxDtSet, "Maxdt " + deviceFieldBytes(*m_maxDt->edit())) ||
        !sent(kLinkTimeoutSet, "Linkto " + deviceFieldBytes(*m_linkTimeout->edit())))
        return;
    const std::string_view selected = securityWord(m_security->currentIndex());
    if (!selected.empty())
        m_lastSecurityWord = selected;
    const ScanMode mode{m_discoverable->isChecked(), m_connectable->isChecked()};
    if (!sent(kSecuritySet, "Secu " + m_lastSecurityWord) ||
        (!pin.isEmpty() && !sent(kPinSet, "Pin " + toStd(pin))) ||
        !sent(kPairableSet, "Pair " + std::string(pairableWord(m_pairable->isChecked()))) ||
        !sent(scanSet(mode), "Scan " + std::string(scanWord(mode))))
        return;

    m_pin->clear();
    m_appliedName = nameBytes;
}

} // namespace kvx
