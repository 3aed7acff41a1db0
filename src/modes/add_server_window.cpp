#include "add_server_window.h"

#include "controls/ip_address_edit.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "modes/address_or_name_box.h"
#include "modes/change_commands.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kvx {
namespace {

constexpr int kPortLength = 5;
constexpr int kAddWait = 10;

} // namespace

AddServerWindow::AddServerWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_rows(std::move(rows))
    , m_device(new AddressOrNameBox(tr("BDAddr/Name"), tr("BDAddr"), tr("Name"),
                                    AddressOrNameBox::Choice::Address, this))
    , m_address(new IpAddressEdit(this))
    , m_port(new QLineEdit(this)) {
    setObjectName(QStringLiteral("addServerWindow"));
    setWindowTitle(tr("Add Server"));
    m_address->setObjectName(QStringLiteral("serverAddressEdit"));
    m_port->setObjectName(QStringLiteral("serverPortEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);

    auto* form = new QFormLayout;
    form->addRow(labelFor(tr("Server IP Address"), m_address, this), m_address);
    form->addRow(labelFor(tr("Server Port Number"), m_port, this), m_port);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_device);
    layout->addLayout(form);
    QPushButton* addButton = addActionRow(this, layout, tr("Add"), QStringLiteral("addButton"));

    connect(addButton, &QPushButton::clicked, this, &AddServerWindow::add);
}

EntryRow AddServerWindow::entry() const {
    return {m_device->choice() == AddressOrNameBox::Choice::Name ? m_device->name() : m_device->addressText(),
            m_address->text() + QLatin1Char(':') + m_port->text()};
}

QString AddServerWindow::problem() const {
    const bool addressMissing = m_address->filledCount() < IpAddressEdit::kOctetCount;
    const QString port = m_port->text();
    if (addressMissing && port.isEmpty())
        return tr("Fill the Server IP Address and Server Port Number.");
    if (addressMissing)
        return tr("Fill the Server IP Address.");
    if (port.isEmpty())
        return tr("Fill the Server Port Number.");

    const bool byName = m_device->choice() == AddressOrNameBox::Choice::Name;
    if (byName && m_device->name().isEmpty())
        return tr("Fill the Name.");
    if (!byName && !m_device->addressComplete())
        return tr("Fill the Bdaddr completely.");
    const EntryRow wanted = entry();
    const auto taken = [this](auto holds) {
        return std::any_of(m_rows.begin(), m_rows.end(), holds);
    };
    if (taken([&](const EntryRow& row) { return row.bdaddrOrName == wanted.bdaddrOrName; }))
        return byName ? tr("Same Name is exist. Try again.") : tr("Same BDADDR is exist. Try again.");
    // The IP text holds no ":", so equal texts mean an equal address part and an equal port part.
    if (taken([&](const EntryRow& row) { return row.endpoint == wanted.endpoint; }))
        return byName ? tr("Same Server Port Number is exist. Try again.")
                      : tr("Same Port Number is exist. Try again.");
    return {};
}

void AddServerWindow::add() {
    if (const QString text = problem(); !text.isEmpty()) {
        m_prompter.message(text);
        return;
    }
    const EntryRow wanted = entry();
    if (sendChange(m_session, m_prompter,
                   "Serv " + wanted.endpoint.toStdString() + " " + wanted.bdaddrOrName.toStdString() + "\r\n",
                   kAddWait, tr("Add Server is timeout. Check Lumeno-KVX and Try again."),
                   tr("Add Server Fail. Try again.")))
        accept();
}

} // namespace kvx
