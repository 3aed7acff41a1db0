#include "add_device_window.h"

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

constexpr int kPortLength = 4;
constexpr int kBindWait = 10;

} // namespace

AddDeviceWindow::AddDeviceWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_rows(std::move(rows))
    , m_device(new AddressOrNameBox(tr("BDADDR/Name"), tr("BDADDR"), tr("Name"),
                                    AddressOrNameBox::Choice::None, this))
    , m_port(new QLineEdit(this)) {
    setObjectName(QStringLiteral("addDeviceWindow"));
    setWindowTitle(tr("Add Device"));
    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);

    auto* form = new QFormLayout;
    form->addRow(labelFor(tr("PORT Number"), m_port, this), m_port);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_device);
    layout->addLayout(form);
    QPushButton* addButton = addActionRow(this, layout, tr("ADD"), QStringLiteral("addButton"));

    connect(addButton, &QPushButton::clicked, this, &AddDeviceWindow::add);
}

EntryRow AddDeviceWindow::entry() const {
    return {m_device->choice() == AddressOrNameBox::Choice::Address ? m_device->addressText()
                                                                    : m_device->name(),
            m_port->text()};
}

QString AddDeviceWindow::problem() const {
    const bool byName = m_device->choice() == AddressOrNameBox::Choice::Name;
    // Before either choice is made the address is asked for, the first of the two.
    if (byName && m_device->name().isEmpty())
        return tr("Fill the Name.");
    if (!byName && !m_device->addressComplete())
        return tr("Fill the Bdaddr completely.");
    if (m_port->text().isEmpty())
        return tr("Fill the Port Number.");
    const EntryRow wanted = entry();
    const auto taken = [this](auto holds) {
        return std::any_of(m_rows.begin(), m_rows.end(), holds);
    };
    if (taken([&](const EntryRow& row) { return row.bdaddrOrName == wanted.bdaddrOrName; }))
        return byName ? tr("Same Name is exist. Try again.") : tr("Same BDADDR is exist. Try again.");
    if (taken([&](const EntryRow& row) { return row.endpoint == wanted.endpoint; }))
        return tr("Same Port Number is exist. Try again.");
    return {};
}

void AddDeviceWindow::add() {
    if (const QString text = problem(); !text.isEmpty()) {
        m_prompter.message(text);
        return;
    }
    const EntryRow wanted = entry();
    if (sendChange(m_session, m_prompter,
                   "Bind " + wanted.bdaddrOrName.toStdString() + " " + wanted.endpoint.toStdString() + "\r\n",
                   kBindWait, tr("Add Device is timeout. Check Lumeno-KVX and Try again."),
                   tr("Add Device Fail. Try again.")))
        accept();
}

} // namespace kvx
