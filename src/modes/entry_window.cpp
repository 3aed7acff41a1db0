#include "entry_window.h"

#include "controls/ip_address_edit.h"
#include "core/ip_text.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/server_client_queries.h"
#include "modes/port_field.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kvx {
namespace {

constexpr int kHighestPort = 65535;

} // namespace

EntryWindow::EntryWindow(DeviceSession& session, Prompter& prompter, const EntryForm& form, EntryRows rows,
                         std::optional<int> modifiedRow, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_form(form)
    , m_rows(std::move(rows))
    , m_modifiedRow(modifiedRow) {
    setObjectName(QLatin1String(form.objectName));
    setWindowTitle(text(form.title));
    const EntryRow start = modifiedRow ? m_rows.at(*modifiedRow) : EntryRow{};
    const IpPort startEndpoint =
        form.addressName ? splitIpPort(start.endpoint.bytes) : IpPort{{}, start.endpoint.bytes};

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    if (form.choice) {
        m_choice = new AddressOrNameBox(text(form.choice->title), text(form.choice->addressCaption),
                                        text(form.choice->nameCaption), form.choice->initial, this);
        layout->addWidget(m_choice);
    } else {
        m_device = new QLineEdit(this);
        showDeviceText(*m_device, start.bdaddrOrName.bytes);
        m_device->setObjectName(QStringLiteral("deviceEdit"));
        keepToOneLine(m_device);
        fields->addRow(labelFor(text(form.deviceLabel), m_device, this), m_device);
    }
    if (form.addressName) {
        m_address = new IpAddressEdit(this);
        m_address->setObjectName(QLatin1String(form.addressName));
        if (modifiedRow) {
            const Octets octets = octetsFromText(startEndpoint.ip);
            m_address->setOctets({octets[0], octets[1], octets[2], octets[3]});
        }
        fields->addRow(labelFor(text(form.addressLabel), m_address, this), m_address);
    }
    m_port = new QLineEdit(this);
    m_port->setObjectName(QLatin1String(form.portName));
    if (modifiedRow) {
        showPortLimitedForTyping(m_port, deviceTextShown(startEndpoint.port), form.portLength);
        rememberDeviceText(*m_port, startEndpoint.port);
    } else {
        m_port->setMaxLength(form.portLength);
    }
    keepToOneLine(m_port);
    fields->addRow(labelFor(text(form.portLabel), m_port, this), m_port);
    layout->addLayout(fields);
    QPushButton* action = addActionRow(this, layout, text(form.actionText), QLatin1String(form.actionName));
    connect(action, &QPushButton::clicked, this, &EntryWindow::send);

    m_old = entry();
}

EntryRow EntryWindow::entry() const {
    QString device;
    std::string deviceBytes;
    if (m_choice) {
        device = byName() ? m_choice->name() : m_choice->addressText();
        deviceBytes = toStd(device);
    } else {
        device = m_device->text();
        deviceBytes = deviceFieldBytes(*m_device);
    }
    const QString port = m_port->text();
    const std::string portBytes = deviceFieldBytes(*m_port);
    if (!m_address)
        return {{deviceBytes, device}, {portBytes, port}};
    // The address is written out from its octets whatever the device listed.
    const QString address = m_address->text() + QLatin1Char(':');
    return {{deviceBytes, device}, {toStd(address) + portBytes, address + port}};
}

QString EntryWindow::text(const char* source) const {
    return QCoreApplication::translate(m_form.context, source);
}

QString EntryWindow::text(const EntryText& choices) const {
    return text(byName() && choices.byName ? choices.byName : choices.text);
}

bool EntryWindow::byName() const {
    return m_choice && m_choice->choice() == AddressOrNameBox::Choice::Name;
}

bool EntryWindow::missing(unsigned fields) const {
    // Before either choice is made the address is asked for, the first of the two.
    const bool device = m_choice ? (byName() ? m_choice->name().isEmpty() : !m_choice->addressComplete())
                                 : m_device->text().isEmpty();
    const bool address = m_address && m_address->filledCount() < IpAddressEdit::kOctetCount;
    return (!(fields & DeviceField) || device) && (!(fields & AddressField) || address) &&
           (!(fields & PortField) || m_port->text().isEmpty());
}

QString EntryWindow::problem() const {
    for (const MissingCheck& check : m_form.missingChecks) {
        if (missing(check.missing))
            return text(check.text);
    }
    if (QString wrong = numberProblem(text(m_form.portLabel), m_port->text(), 1, kHighestPort);
        !wrong.isEmpty())
        return wrong;
    const EntryRow wanted = entry();
    // A value that the row under modification already has stays free for it.
    const auto taken = [this](auto holds) {
        return std::any_of(m_rows.begin(), m_rows.end(), holds) &&
               !(m_modifiedRow && holds(m_rows.at(*m_modifiedRow)));
    };
    if (taken([&](const EntryRow& row) { return row.bdaddrOrName == wanted.bdaddrOrName; }))
        return text(m_form.sameDevice);
    // The IP text holds no ":", so equal texts mean an equal address part and an equal port part.
    if (taken([&](const EntryRow& row) { return row.endpoint == wanted.endpoint; }))
        return text(m_form.sameEndpoint);
    return {};
}

void EntryWindow::send() {
    if (const QString message = problem(); !message.isEmpty()) {
        m_prompter.message(message);
        return;
    }
    const EntryRow wanted = entry();
    const std::string& device = wanted.bdaddrOrName.bytes;
    const std::string& endpoint = wanted.endpoint.bytes;
    bool taken = false;
    if (m_form.remove) {
        const std::string& oldDevice = m_old.bdaddrOrName.bytes;
        const std::string& oldEndpoint = m_old.endpoint.bytes;
        taken = replaceEntry(m_session, m_prompter,
                             {m_form.removeCommand(oldDevice, oldEndpoint),
                              m_form.addCommand(device, endpoint), m_form.addCommand(oldDevice, oldEndpoint)},
                             *m_form.remove, *m_form.add);
    } else {
        taken = bool(runQuery(m_session, m_prompter, *m_form.add, m_form.addCommand(device, endpoint)));
    }
    if (taken)
        accept();
}

} // namespace kvx
