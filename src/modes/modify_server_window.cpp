#include "modify_server_window.h"

#include "controls/ip_address_edit.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "modes/change_commands.h"
#include "core/ip_text.h"
#include "modes/port_field.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

// As long as the Add Server window allows.
constexpr int kPortLength = 5;

EntryRow normalisedRow(const EntryRow& row) {
    const IpPort parts = splitIpPort(row.endpoint.toStdString());
    return {row.bdaddrOrName, QString::fromStdString(ipText(octetsFromText(parts.ip))) + QLatin1Char(':') +
                                  QString::fromStdString(parts.port)};
}

std::string addCommand(const EntryRow& row) {
    return "Serv " + row.endpoint.toStdString() + " " + row.bdaddrOrName.toStdString() + "\r\n";
}

} // namespace

ModifyServerWindow::ModifyServerWindow(DeviceSession& session, Prompter& prompter, EntryRows rows,
                                       int modifiedRow, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_rows(std::move(rows))
    , m_modifiedRow(modifiedRow)
    , m_old(normalisedRow(m_rows.at(modifiedRow)))
    , m_device(new QLineEdit(m_old.bdaddrOrName, this))
    , m_address(new IpAddressEdit(this))
    , m_port(new QLineEdit(this)) {
    setObjectName(QStringLiteral("modifyServerWindow"));
    setWindowTitle(tr("Modify Server"));
    m_device->setObjectName(QStringLiteral("deviceEdit"));
    keepToOneLine(m_device);
    m_address->setObjectName(QStringLiteral("addressEdit"));
    const IpPort old = splitIpPort(m_old.endpoint.toStdString());
    const Octets octets = octetsFromText(old.ip);
    m_address->setOctets({octets[0], octets[1], octets[2], octets[3]});
    m_port->setObjectName(QStringLiteral("portEdit"));
    showPortLimitedForTyping(m_port, QString::fromStdString(old.port), kPortLength);
    keepToOneLine(m_port);

    auto* form = new QFormLayout;
    form->addRow(labelFor(tr("BDADDR/Name"), m_device, this), m_device);
    form->addRow(labelFor(tr("IP Address"), m_address, this), m_address);
    form->addRow(labelFor(tr("PORT Number"), m_port, this), m_port);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QPushButton* modifyButton = addActionRow(this, layout, tr("Modify"), QStringLiteral("modifyButton"));

    connect(modifyButton, &QPushButton::clicked, this, &ModifyServerWindow::modify);
}

EntryRow ModifyServerWindow::entry() const {
    return {m_device->text(), m_address->text() + QLatin1Char(':') + m_port->text()};
}

QString ModifyServerWindow::problem() const {
    const QString device = m_device->text();
    const QString port = m_port->text();
    const bool addressMissing = m_address->filledCount() < IpAddressEdit::kOctetCount;
    if (device.isEmpty() && port.isEmpty() && addressMissing)
        return tr("Fill the Bdaddr and Port Number.");
    if (device.isEmpty())
        return tr("Fill the Bdaddr.");
    if (port.isEmpty())
        return tr("Fill the Port Number.");
    if (addressMissing)
        return tr("Fill the IP Address.");
    const EntryRow wanted = entry();
    if (takenByAnotherRow(m_rows, m_modifiedRow,
                          [&](const EntryRow& row) { return row.bdaddrOrName == wanted.bdaddrOrName; }))
        return tr("Same BDADDR/Name is exist. Try again.");
    // The IP text holds no ":", so equal texts mean an equal address part and an equal port part.
    if (takenByAnotherRow(m_rows, m_modifiedRow,
                          [&](const EntryRow& row) { return row.endpoint == wanted.endpoint; }))
        return tr("Same Port Number is exist. Try again.");
    return {};
}

void ModifyServerWindow::modify() {
    if (const QString text = problem(); !text.isEmpty()) {
        m_prompter.message(text);
        return;
    }
    if (replaceEntry(
            m_session, m_prompter,
            {"DelServ " + m_old.bdaddrOrName.toStdString() + "\r\n", addCommand(entry()), addCommand(m_old)},
            tr("Server modification is timeout. Check Lumeno-KVX and Try again."),
            tr("Device modification is Failed. Try again.")))
        accept();
}

} // namespace kvx
