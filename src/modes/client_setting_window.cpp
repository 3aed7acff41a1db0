#include "client_setting_window.h"

#include "controls/ip_address_edit.h"
#include "core/prompter.h"
#include "core/server_client_queries.h"
#include "modes/host_entry.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortLength = 5;
constexpr int kHighestPort = 65535;

} // namespace

ClientSettingWindow::ClientSettingWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_host(new IpAddressEdit(this))
    , m_port(new QLineEdit(this)) {
    setObjectName(QStringLiteral("clientSettingWindow"));
    setWindowTitle(tr("Client Setting"));
    m_host->setObjectName(QStringLiteral("hostAddressEdit"));
    m_port->setObjectName(QStringLiteral("hostPortEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);

    auto* form = new QFormLayout;
    form->addRow(labelFor(tr("HOST IP Address"), m_host, this), m_host);
    form->addRow(labelFor(tr("HOST Port Number"), m_port, this), m_port);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QPushButton* okButton = addActionRow(this, layout, tr("OK"), QStringLiteral("okButton"));

    connect(okButton, &QPushButton::clicked, this, &ClientSettingWindow::ok);
}

int ClientSettingWindow::exec() {
    load();
    return QDialog::exec();
}

void ClientSettingWindow::load() {
    // OK sends the host shown. A device that refuses to tell it leaves it to the operator to fill, so
    // the fields start empty: nothing an earlier opening showed (of this device or another) goes back
    // unread.
    m_host->clear();
    m_port->clear();
    WindowLoad load(m_session, m_prompter);
    const std::optional<ServerList> list = readServerList(load, kHostQuery);
    if (!list)
        return;
    load.show([this, list = *list] {
        if (list.host)
            showHostAddress(*list.host, *m_host, *m_port);
        if (list.outcome == ServerList::Outcome::Imperfect)
            m_prompter.message(tr("Get Server Devices is imperfect. Try again."));
    });
    load.finish();
}

void ClientSettingWindow::ok() {
    if (const std::optional<QString> missing = missingHostEntry(*m_host, m_port->text())) {
        m_prompter.message(*missing);
        return;
    }
    if (!numbersFit(m_prompter, {{m_port, tr("HOST Port Number"), 1, kHighestPort}}))
        return;
    if (sendHostAddress(m_session, m_prompter, *m_host, *m_port))
        accept();
}

} // namespace kvx
