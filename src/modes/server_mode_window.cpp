#include "server_mode_window.h"

#include "core/device_session.h"
#include "core/prompter.h"
#include "core/server_client_queries.h"
#include "core/server_mode_replies.h"
#include "modes/entry_forms.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortLength = 4;
// The device reports the port in its last 4 characters, so it takes none shorter.
constexpr int kLowestPort = 1000;
constexpr int kHighestPort = 9999;
constexpr int kMostKeepAliveSeconds = 86400;

} // namespace

ServerModeWindow::ServerModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_port(new QLineEdit(this))
    , m_keepSocket(new QCheckBox(tr("Do not disconnect TCP socket"), this))
    , m_keepAlive(new QLineEdit(this))
    , m_table(new EntryTable(session, prompter, kDeviceTableForm, this)) {
    setObjectName(QStringLiteral("serverModeWindow"));
    setWindowTitle(tr("Server Mode"));

    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);
    m_keepSocket->setObjectName(QStringLiteral("keepSocketCheck"));
    m_keepAlive->setObjectName(QStringLiteral("keepAliveEdit"));
    keepToOneLine(m_keepAlive);

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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_table, 1);
    resize(360, 380);

    connect(applyButton, &QPushButton::clicked, this, &ServerModeWindow::apply);
    m_settingsRead.clearWhenHidden(*this);
}

int ServerModeWindow::exec() {
    load();
    return QDialog::exec();
}

void ServerModeWindow::load() {
    m_table->clear();
    WindowLoad load(m_session, m_prompter, &m_settingsRead);
    const QueryOutcome port = load.run(kDataPortQuery, ReplyForm::Value, dataPortAnswered);
    if (!port)
        return;
    load.show([this, port = defaultPortFrom(port.normalised())] { showDeviceText(*m_port, port); });

    m_keepSocket->setEnabled(m_session.supportsCommand("PRSV"));
    if (m_keepSocket->isEnabled()) {
        const QueryOutcome keepSocket = load.run(kKeepSocketQuery, ReplyForm::Value);
        if (!keepSocket)
            return;
        load.show([this, on = keepSocketFrom(keepSocket.reply)] { m_keepSocket->setChecked(on); });
    }

    m_keepAlive->setEnabled(m_session.supportsCommand("KATO"));
    if (m_keepAlive->isEnabled()) {
        const QueryOutcome keepAlive = load.run(kKeepAliveQuery, ReplyForm::Value);
        // The device's own default, shown when its value cannot be read.
        load.show([this, timeout = keepAlive ? keepAliveFrom(keepAlive.reply) : std::string("600")] {
            showDeviceText(*m_keepAlive, timeout);
        });
    }
    // The table is not sent by Apply.
    load.valuesRead();

    if (loadTable(load))
        load.finish();
}

bool ServerModeWindow::loadTable(WindowLoad& load) {
    const QueryOutcome reply = load.run(kDeviceListQuery, ReplyForm::List);
    if (!reply)
        return false;
    load.show([this, list = parseBindList(reply.reply)] {
        m_table->append(list.entries);
        if (list.outcome == BindList::Outcome::Imperfect)
            m_prompter.message(tr("Get Bind Devices is imperfect. Try again."));
    });
    return true;
}

void ServerModeWindow::apply() {
    const bool keepAlive = m_session.supportsCommand("KATO");
    if (!m_settingsRead.allowsSending(m_prompter) ||
        !numbersFit(m_prompter, {{m_port, tr("Default Data Port"), kLowestPort, kHighestPort}}) ||
        (keepAlive &&
         !numbersFit(m_prompter, {{m_keepAlive, tr("KeepAlive Timeout"), 1, kMostKeepAliveSeconds}})))
        return;
    if (!runQuery(m_session, m_prompter, kDataPortSet, dataPortSetCommand(deviceFieldBytes(*m_port))))
        return;
    // A failed option does not stop Apply: only its message is shown.
    if (m_session.supportsCommand("PRSV"))
        runQuery(m_session, m_prompter, kKeepSocketSet, keepSocketSetCommand(m_keepSocket->isChecked()));
    if (keepAlive)
        runQuery(m_session, m_prompter, kKeepAliveSet, keepAliveSetCommand(deviceFieldBytes(*m_keepAlive)));
}

} // namespace kvx
