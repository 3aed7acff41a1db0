#include "server_mode_window.h"

#include "core/device_session.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "modes/add_device_window.h"
#include "modes/change_commands.h"
#include "modes/entry_table.h"
#include "modes/modify_device_window.h"
#include "core/server_mode_replies.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortLength = 4;
constexpr int kDeleteWait = 10;

} // namespace

ServerModeWindow::ServerModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_port(new QLineEdit(this))
    , m_keepSocket(new QCheckBox(tr("Do not disconnect TCP socket"), this))
    , m_keepAlive(new QLineEdit(this))
    , m_table(
          new EntryTable({tr("  Index"), tr("          BDADDR/Name"), tr("       Port ")}, 195, 107, this)) {
    setObjectName(QStringLiteral("serverModeWindow"));
    setWindowTitle(tr("Server Mode"));

    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);
    m_keepSocket->setObjectName(QStringLiteral("keepSocketCheck"));
    m_keepAlive->setObjectName(QStringLiteral("keepAliveEdit"));
    keepToOneLine(m_keepAlive);
    m_table->setObjectName(QStringLiteral("deviceTable"));

    QLabel* portLabel = labelFor(tr("Default Data Port"), m_port, this);
    QLabel* keepAliveLabel = labelFor(tr("KeepAlive Timeout"), m_keepAlive, this);

    auto* applyButton = namedButton(tr("Apply"), "applyButton", this);
    auto* form = new QGridLayout;
    form->addWidget(portLabel, 0, 0);
    form->addWidget(m_port, 0, 1);
    form->addWidget(m_keepSocket, 1, 0, 1, 3);
    form->addWidget(keepAliveLabel, 2, 0);
    form->addWidget(m_keepAlive, 2, 1);
    form->addWidget(new QLabel(tr("sec"), this), 2, 2);
    form->addWidget(applyButton, 2, 4);
    form->setColumnStretch(3, 1);

    auto* group = new QGroupBox(tr("Register Bluetooth Device"), this);
    m_table->setAccessibleName(group->title());
    auto* addButton = namedButton(tr("Add"), "addButton", this);
    auto* deleteButton = namedButton(tr("Delete"), "deleteButton", this);
    auto* modifyButton = namedButton(tr("Modify"), "modifyButton", this);
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addStretch();
    tableButtons->addWidget(addButton);
    tableButtons->addWidget(deleteButton);
    tableButtons->addWidget(modifyButton);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_table);
    groupLayout->addLayout(tableButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group, 1);
    resize(360, 380);

    connect(applyButton, &QPushButton::clicked, this, &ServerModeWindow::apply);
    connect(addButton, &QPushButton::clicked, this, &ServerModeWindow::addDevice);
    connect(deleteButton, &QPushButton::clicked, this, &ServerModeWindow::deleteDevice);
    connect(modifyButton, &QPushButton::clicked, this, &ServerModeWindow::modifyDevice);
}

int ServerModeWindow::exec() {
    load();
    return QDialog::exec();
}

void ServerModeWindow::load() {
    m_table->clearRows();
    const QString portTimeout = tr("Get Port Number is timeout. Check Lumeno-KVX and Try again.");

    const std::string port = m_session.transact("Port\r\n", 0);
    if (port.empty()) {
        m_prompter.message(portTimeout);
        m_session.postReconnect();
        return;
    }
    const std::string_view normalisedPort = normalisedReply(port);
    if (!containsOk(normalisedPort)) {
        m_prompter.message(tr("Get Port Number is Failed. Try again."));
        return;
    }
    m_port->setText(QString::fromStdString(defaultPortFrom(normalisedPort)));

    m_keepSocket->setEnabled(m_session.supportsCommand("PRSV"));
    if (m_keepSocket->isEnabled()) {
        const std::string reply = m_session.transact("prsv\r\n", 1);
        // A refusal is reported like silence, with the port's time-out text.
        if (!containsOk(reply)) {
            m_prompter.message(portTimeout);
            m_session.postReconnect();
            return;
        }
        m_keepSocket->setChecked(keepSocketFrom(reply));
    }

    m_keepAlive->setEnabled(m_session.supportsCommand("KATO"));
    if (m_keepAlive->isEnabled()) {
        const std::string reply = m_session.transact("kato\r\n", 1);
        if (containsOk(reply)) {
            m_keepAlive->setText(QString::fromStdString(keepAliveFrom(reply)));
        } else {
            m_prompter.message(tr("Retrieving TCP KeepAlive setting failed."));
            // The device's own default, shown when its value cannot be read.
            m_keepAlive->setText(QStringLiteral("600"));
        }
    }

    loadTable();
}

void ServerModeWindow::loadTable() {
    const std::string reply = m_session.transact("Bind\r\n", 1);
    if (reply.empty()) {
        m_prompter.message(tr("Get Bind is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    const BindList list = parseBindList(reply);
    if (list.outcome == BindList::Outcome::Refused) {
        m_prompter.message(tr("Bind is Failed. Try again."));
        return;
    }
    m_table->appendEntries(list.entries);
    if (list.outcome == BindList::Outcome::Imperfect)
        m_prompter.message(tr("Get Bind Devices is imperfect. Try again."));
}

void ServerModeWindow::apply() {
    const std::string reply = m_session.transact("Port " + m_port->text().toStdString() + "\r\n", 1);
    if (!containsOk(reply)) {
        m_prompter.message(tr("Set Port Number is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    if (m_session.supportsCommand("PRSV"))
        trySetting(m_keepSocket->isChecked() ? "prsv on\r\n" : "prsv off\r\n", tr("Setting PRSV failed."));
    if (m_session.supportsCommand("KATO"))
        trySetting("kato " + m_keepAlive->text().toStdString() + " 10 3\r\n",
                   tr("Setting TCP KeepAlive Time failed."));
}

void ServerModeWindow::trySetting(std::string_view command, const QString& failText) {
    if (!containsOk(m_session.transact(command, 1)))
        m_prompter.message(failText);
}

void ServerModeWindow::addDevice() {
    AddDeviceWindow editor(m_session, m_prompter, m_table->rows(), this);
    if (editor.exec() == QDialog::Accepted)
        m_table->appendAdded(editor.entry());
}

void ServerModeWindow::deleteDevice() {
    const std::optional<int> row = m_table->selectedRow();
    if (!row)
        return;
    const QString port = m_table->rows().at(*row).endpoint;
    // The row goes whatever the device answers; the next opening shows the device's own table.
    m_table->removeSelectedRow();
    sendChange(m_session, m_prompter, "Rele " + port.toStdString() + "\r\n", kDeleteWait,
               tr("Deleting Device is timeout. Check Lumeno-KVX and Try again."),
               tr("Device Deleting is Failed. Try again."));
}

void ServerModeWindow::modifyDevice() {
    const std::optional<int> row = m_table->selectedRow();
    if (!row)
        return;
    ModifyDeviceWindow editor(m_session, m_prompter, m_table->rows(), *row, this);
    if (editor.exec() == QDialog::Accepted)
        m_table->rewriteSelectedRow(editor.entry());
}

} // namespace kvx
