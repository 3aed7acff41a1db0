#include "client_mode_window.h"

#include "controls/ip_address_edit.h"
#include "core/device_session.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/server_client_queries.h"
#include "modes/entry_forms.h"
#include "modes/host_entry.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

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
constexpr int kHighestPort = 65535;
// Milliseconds, as the device takes them.
constexpr int kLeastInterval = 100;
constexpr int kMostInterval = 3600000;

} // namespace

ClientModeWindow::ClientModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_host(new IpAddressEdit(this))
    , m_port(new QLineEdit(this))
    , m_reconnect(new QCheckBox(tr("re-connect automatically if link is lost"), this))
    , m_interval(new QLineEdit(fromStd(m_loaded.interval), this))
    , m_table(new EntryTable(session, prompter, kServerTableForm, this)) {
    setObjectName(QStringLiteral("clientModeWindow"));
    setWindowTitle(tr("Client Mode"));

    m_host->setObjectName(QStringLiteral("hostAddressEdit"));
    m_port->setObjectName(QStringLiteral("hostPortEdit"));
    m_port->setMaxLength(kPortLength);
    keepToOneLine(m_port);
    m_reconnect->setObjectName(QStringLiteral("reconnectCheck"));
    m_interval->setObjectName(QStringLiteral("intervalEdit"));
    keepToOneLine(m_interval);

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
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(420, 440);

    connect(applyButton, &QPushButton::clicked, this, &ClientModeWindow::apply);
    connect(refreshButton, &QPushButton::clicked, this, &ClientModeWindow::refresh);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_settingsRead.clearWhenHidden(*this);
}

int ClientModeWindow::exec() {
    load();
    return QDialog::exec();
}

void ClientModeWindow::load() {
    m_table->clear();
    WindowLoad load(m_session, m_prompter, &m_settingsRead);
    // A failed server list does not end the load; but then the host Apply sends was not read.
    loadServersAndHost(load);

    const QueryOutcome interval = load.run(kIntervalQuery);
    if (!interval)
        return;
    load.show([this, value = intervalFrom(interval.normalised())] {
        m_loaded.interval = value;
        showDeviceText(*m_interval, value);
    });

    const QueryOutcome reconnect = load.run(kReconnectQuery);
    if (!reconnect)
        return;
    load.show([this, word = fromStd(reconnectFrom(reconnect.normalised()))] {
        m_loaded.reconnect = word;
        m_reconnect->setChecked(word == QLatin1String("on"));
    });
    load.finish();
}

void ClientModeWindow::loadServersAndHost(WindowLoad& load) {
    const std::optional<ServerList> list = readServerList(load, kServerListQuery);
    if (!list)
        return;
    load.show([this, list = *list] {
        m_table->append(list.entries);
        if (list.host) {
            m_loaded.host = list.host;
            showHostAddress(*list.host, *m_host, *m_port);
        }
        if (list.outcome == ServerList::Outcome::Imperfect)
            m_prompter.message(tr("Get Server Devices is imperfect. Try again."));
    });
}

void ClientModeWindow::refresh() {
    m_reconnect->setChecked(m_loaded.reconnect == QLatin1String("on"));
    if (m_loaded.host) {
        showHostAddress(*m_loaded.host, *m_host, *m_port);
    } else {
        m_host->clear();
        m_port->clear();
    }
    showDeviceText(*m_interval, m_loaded.interval);
}

void ClientModeWindow::apply() {
    const QString port = m_port->text();
    const std::string interval = deviceFieldBytes(*m_interval);
    if (const std::optional<QString> missing = missingHostEntry(*m_host, port)) {
        m_prompter.message(*missing);
        return;
    }
    if (interval.empty()) {
        m_prompter.message(tr("Fill the Connection interval time."));
        return;
    }
    if (!m_settingsRead.allowsSending(m_prompter) ||
        !numbersFit(m_prompter,
                    {{m_port, tr("Port"), 1, kHighestPort},
                     {m_interval, tr("Connection interval time (ms)"), kLeastInterval, kMostInterval}}))
        return;
    if (!sendHostAddress(m_session, m_prompter, *m_host, *m_port))
        return;
    if (!runQuery(m_session, m_prompter, kIntervalSet, intervalSetCommand(interval),
                  confirmedBy(intervalConfirmation(interval))))
        return;
    const std::string word = m_reconnect->isChecked() ? "on" : "off";
    if (!runQuery(m_session, m_prompter, kReconnectSet, reconnectSetCommand(word),
                  confirmedBy(reconnectConfirmation(word))))
        return;
    accept();
}

} // namespace kvx
