#include "client_mode_window.h"

#include "controls/ip_address_edit.h"
#include "core/device_session.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "modes/add_server_window.h"
#include "modes/change_commands.h"
#include "modes/entry_table.h"
#include "modes/host_entry.h"
#include "modes/modify_server_window.h"

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

constexpr int kPortLength = 5;
constexpr int kDeleteWait = 10;

} // namespace

ClientModeWindow::ClientModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_host(new IpAddressEdit(this))
    , m_port(new QLineEdit(this))
    , m_reconnect(new QCheckBox(tr("re-connect automatically if link is lost"), this))
    , m_interval(new QLineEdit(m_loaded.interval, this))
    , m_table(new EntryTable({tr("  Index"), tr("       BDADDR/Name"), tr("                IP:Port ")}, 170,
                             183, this)) {
    setObjectName(QStringLiteral("clientModeWindow"));
    setWindowTitle(tr("Client Mode"));

    m_host->setObjectName(QStringLiteral("hostAddressEdit"));
    m_port->setObjectName(QStringLiteral("hostPortEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);
    m_reconnect->setObjectName(QStringLiteral("reconnectCheck"));
    m_interval->setObjectName(QStringLiteral("intervalEdit"));
    keepToOneLine(m_interval);
    m_table->setObjectName(QStringLiteral("serverTable"));

    auto* hostGroup = new QGroupBox(tr("HOST Information"), this);
    auto* hostLayout = new QGridLayout(hostGroup);
    hostLayout->addWidget(labelFor(tr("IP Address"), m_host, this), 0, 0);
    hostLayout->addWidget(m_host, 0, 1);
    hostLayout->addWidget(labelFor(tr("Port"), m_port, this), 0, 2);
    hostLayout->addWidget(m_port, 0, 3);
    hostLayout->addWidget(m_reconnect, 1, 0, 1, 4);
    auto* interval = new QHBoxLayout;
    interval->addWidget(labelFor(tr("Try to connect to server every"), m_interval, this));
    interval->addWidget(m_interval);
    interval->addWidget(new QLabel(tr("ms"), this));
    interval->addStretch();
    hostLayout->addLayout(interval, 2, 0, 1, 4);

    auto* tableGroup = new QGroupBox(tr("Server Table"), this);
    m_table->setAccessibleName(tableGroup->title());
    auto* addButton = namedButton(tr("Add"), "addButton", this);
    auto* deleteButton = namedButton(tr("Delete"), "deleteButton", this);
    auto* modifyButton = namedButton(tr("Modify"), "modifyButton", this);
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addStretch();
    tableButtons->addWidget(addButton);
    tableButtons->addWidget(deleteButton);
    tableButtons->addWidget(modifyButton);
    auto* tableLayout = new QVBoxLayout(tableGroup);
    tableLayout->addWidget(m_table);
    tableLayout->addLayout(tableButtons);

    auto* applyButton = namedButton(tr("Apply"), "applyButton", this);
    applyButton->setDefault(true);
    auto* refreshButton = namedButton(tr("Refresh"), "refreshButton", this);
    auto* cancelButton = namedButton(tr("Cancel"), "cancelButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(applyButton);
    buttons->addWidget(refreshButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hostGroup);
    layout->addWidget(tableGroup, 1);
    layout->addLayout(buttons);
    resize(420, 440);

    connect(applyButton, &QPushButton::clicked, this, &ClientModeWindow::apply);
    connect(refreshButton, &QPushButton::clicked, this, &ClientModeWindow::refresh);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(addButton, &QPushButton::clicked, this, &ClientModeWindow::addServer);
    connect(deleteButton, &QPushButton::clicked, this, &ClientModeWindow::deleteServer);
    connect(modifyButton, &QPushButton::clicked, this, &ClientModeWindow::modifyServer);
}

int ClientModeWindow::exec() {
    load();
    return QDialog::exec();
}

void ClientModeWindow::load() {
    m_table->clearRows();
    loadServersAndHost();

    const std::string interval = m_session.transact("Rept\r\n", 0);
    const std::string_view normalisedInterval = normalisedReply(interval);
    // Silence is reported with the refusal's text here; only the reconnect request tells them apart.
    if (!startsWithOk(normalisedInterval)) {
        m_prompter.message(tr("Get Connection interval time is Failed. Try again."));
        if (interval.empty())
            m_session.postReconnect();
        return;
    }
    m_loaded.interval = QString::fromStdString(intervalFrom(normalisedInterval));
    m_interval->setText(m_loaded.interval);

    const std::string reconnect = m_session.transact("Psist\r\n", 0);
    if (reconnect.empty()) {
        m_prompter.message(tr("Get re-Connect status is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    const std::string_view normalisedReconnect = normalisedReply(reconnect);
    if (!startsWithOk(normalisedReconnect)) {
        m_prompter.message(tr("Get re-Connect status is Failed. Try again."));
        return;
    }
    m_loaded.reconnect = QString::fromStdString(reconnectFrom(normalisedReconnect));
    m_reconnect->setChecked(m_loaded.reconnect == QLatin1String("on"));
}

void ClientModeWindow::loadServersAndHost() {
    const std::optional<ServerList> list =
        readServerList(m_session, m_prompter, tr("Get Server host address is Failed. Try again."));
    if (!list)
        return;
    m_table->appendEntries(list->entries);
    if (list->host) {
        m_loaded.host = list->host;
        showHostAddress(*list->host, *m_host, *m_port);
    }
    if (list->outcome == ServerList::Outcome::Imperfect)
        m_prompter.message(tr("Get Server Devices is imperfect. Try again."));
}

void ClientModeWindow::refresh() {
    m_reconnect->setChecked(m_loaded.reconnect == QLatin1String("on"));
    if (m_loaded.host) {
        showHostAddress(*m_loaded.host, *m_host, *m_port);
    } else {
        m_host->clear();
        m_port->clear();
    }
    m_interval->setText(m_loaded.interval);
}

void ClientModeWindow::apply() {
    const QString port = m_port->text();
    const QString interval = m_interval->text();
    if (const std::optional<QString> missing = missingHostEntry(*m_host, port)) {
        m_prompter.message(*missing);
        return;
    }
    if (interval.isEmpty()) {
        m_prompter.message(tr("Fill the Connection interval time."));
        return;
    }
    if (!sendHostAddress(m_session, m_prompter, *m_host, port))
        return;
    const std::string intervalText = interval.toStdString();
    if (!sendChange(m_session, m_prompter, "Rept " + intervalText + "\r\n", 0,
                    tr("Set Connection interval time is timeout. Check Lumeno-KVX and Try again."),
                    tr("Connection interval time Setup Fail. Try again."),
                    intervalConfirmation(intervalText)))
        return;
    const std::string word = m_reconnect->isChecked() ? "on" : "off";
    if (!sendChange(m_session, m_prompter, "Psist " + word + "\r\n", 0,
                    tr("Set re-Connect status is timeout. Check Lumeno-KVX and Try again."),
                    tr("re-Connect status Setup Fail. Try again."), reconnectConfirmation(word)))
        return;
    accept();
}

void ClientModeWindow::addServer() {
    AddServerWindow editor(m_session, m_prompter, m_table->rows(), this);
    if (editor.exec() == QDialog::Accepted)
        m_table->appendAdded(editor.entry());
}

void ClientModeWindow::deleteServer() {
    const std::optional<int> row = m_table->selectedRow();
    if (!row)
        return;
    // The device knows a server entry by its BDADDR/Name, not by its address.
    const QString name = m_table->rows().at(*row).bdaddrOrName;
    m_table->removeSelectedRow();
    sendChange(m_session, m_prompter, "DelServ " + name.toStdString() + "\r\n", kDeleteWait,
               tr("Deleting Server is timeout. Check Lumeno-KVX and Try again."),
               tr("Server Deleting is Failed. Try again."));
}

void ClientModeWindow::modifyServer() {
    const std::optional<int> row = m_table->selectedRow();
    if (!row)
        return;
    ModifyServerWindow editor(m_session, m_prompter, m_table->rows(), *row, this);
    if (editor.exec() == QDialog::Accepted)
        m_table->rewriteSelectedRow(editor.entry());
}

} // namespace kvx
