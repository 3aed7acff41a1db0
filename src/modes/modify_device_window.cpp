#include "modify_device_window.h"

#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "modes/change_commands.h"
#include "modes/port_field.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortLength = 4;

std::string bindCommand(const EntryRow& row) {
    return "Bind " + row.bdaddrOrName.toStdString() + " " + row.endpoint.toStdString() + "\r\n";
}

} // namespace

ModifyDeviceWindow::ModifyDeviceWindow(DeviceSession& session, Prompter& prompter, EntryRows rows,
                                       int modifiedRow, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_rows(std::move(rows))
    , m_modifiedRow(modifiedRow)
    , m_device(new QLineEdit(m_rows.at(modifiedRow).bdaddrOrName, this))
    , m_port(new QLineEdit(this)) {
    setObjectName(QStringLiteral("modifyDeviceWindow"));
    setWindowTitle(tr("Modify Device"));
    m_device->setObjectName(QStringLiteral("deviceEdit"));
    keepToOneLine(m_device);
    m_port->setObjectName(QStringLiteral("portEdit"));
    showPortLimitedForTyping(m_port, m_rows.at(modifiedRow).endpoint, kPortLength);
    keepToOneLine(m_port);

    auto* form = new QFormLayout;
    form->addRow(labelFor(tr("BDADDR/Name"), m_device, this), m_device);
    form->addRow(labelFor(tr("PORT Number"), m_port, this), m_port);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QPushButton* modifyButton = addActionRow(this, layout, tr("Modify"), QStringLiteral("modifyButton"));

    connect(modifyButton, &QPushButton::clicked, this, &ModifyDeviceWindow::modify);
}

EntryRow ModifyDeviceWindow::entry() const {
    return {m_device->text(), m_port->text()};
}

QString ModifyDeviceWindow::problem() const {
    const EntryRow wanted = entry();
    if (wanted.bdaddrOrName.isEmpty() && wanted.endpoint.isEmpty())
        return tr("Fill the Bdaddr and Port Number.");
    if (wanted.bdaddrOrName.isEmpty())
        return tr("Fill the Bdaddr.");
    if (wanted.endpoint.isEmpty())
        return tr("Fill the Port Number.");
    if (takenByAnotherRow(m_rows, m_modifiedRow,
                          [&](const EntryRow& row) { return row.bdaddrOrName == wanted.bdaddrOrName; }))
        return tr("Same BDADDR/Name is exist. Try again.");
    if (takenByAnotherRow(m_rows, m_modifiedRow,
                          [&](const EntryRow& row) { return row.endpoint == wanted.endpoint; }))
        return tr("Same Port Number is exist. Try again.");
    return {};
}

void ModifyDeviceWindow::modify() {
    if (const QString text = problem(); !text.isEmpty()) {
        m_prompter.message(text);
        return;
    }
    const EntryRow& old = m_rows.at(m_modifiedRow);
    if (replaceEntry(m_session, m_prompter,
                     {"Rele " + old.endpoint.toStdString() + "\r\n", bindCommand(entry()), bindCommand(old)},
                     tr("Device modification is timeout. Check Lumeno-KVX and Try again."),
                     tr("Device modification is Failed. Try again.")))
        accept();
}

} // namespace kvx
