#include "information_page.h"

#include "core/device_session.h"
#include "core/device_text.h"
#include "core/firmware_version.h"
#include "core/page_queries.h"
#include "core/prompter.h"
#include "core/vocabulary.h"
#include "pages/reboot_wait_window.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace kvx {

InformationPage::InformationPage(DeviceSession& session, Prompter& prompter, RebootTiming timing,
                                 QWidget* parent)
    : Page(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_timing(timing)
    , m_backUp(namedButton(tr("Back up"), "backUpButton", this))
    , m_restore(namedButton(tr("Restore"), "restoreButton", this))
    , m_log(namedButton(tr("Log"), "logButton", this)) {
    setObjectName(QStringLiteral("informationPage"));

    const char* const labels[FieldCount] = {
        QT_TR_NOOP("Product Name"),      QT_TR_NOOP("Model Code"),
        QT_TR_NOOP("Version"),           QT_TR_NOOP("Product Serial Number"),
        QT_TR_NOOP("IP Address "),       QT_TR_NOOP("Control Port  "),
        QT_TR_NOOP("MAC Address"),       QT_TR_NOOP("Bluetooth Friendly Name"),
        QT_TR_NOOP("Bluetooth Address"),
    };
    const char* const names[FieldCount] = {"productName",  "modelCode", "version",
                                           "serialNumber", "ipAddress", "controlPort",
                                           "macAddress",   "btName",    "btAddress"};
    auto* group = new QGroupBox(tr("Lumeno-KVX100 Manager Information"), this);
    auto* form = new QFormLayout;
    for (int i = 0; i < FieldCount; ++i) {
        auto* label = new QLabel(tr(labels[i]), group);
        auto* value = new QLabel(group);
        value->setObjectName(QLatin1String(names[i]));
        value->setAccessibleName(label->text().trimmed());
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(220);
        label->setBuddy(value);
        form->addRow(label, value);
        m_values[i] = value;
    }
    auto* note = new QLabel(tr("* Note :  You can't restore while bluetooth serial connected. "), group);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(form);
    groupLayout->addWidget(note);
    groupLayout->addStretch();

    QPushButton* rebootButton = namedButton(tr("Reboot"), "rebootButton", this);
    for (QPushButton* b : {m_backUp, m_restore, m_log})
        b->setEnabled(false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_backUp, m_restore, m_log, rebootButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    connect(rebootButton, &QPushButton::clicked, this, &InformationPage::reboot);
    connect(m_backUp, &QPushButton::clicked, this, [this] {
        if (m_procedures.backUp)
            m_procedures.backUp();
    });
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (m_procedures.restore && !m_procedures.restore())
            m_restore->setEnabled(false);
    });
    connect(m_log, &QPushButton::clicked, this, [this] {
        if (m_procedures.log)
            m_procedures.log();
    });
}

void InformationPage::load() {
    WindowLoad load(m_session, m_prompter);
    const QueryOutcome version = load.run(kVersionQuery, ReplyForm::Value);
    // A silent device gives no version text, and so no check.
    const std::string versionText = versionTextFromReply(version.reply);
    const int checks = listChecksFor(versionText, versionNumberFromText(versionText));
    for (int i = 0; i < checks; ++i)
        listCheck(load);
    switch (version.kind) {
    case QueryOutcome::Kind::Silent:
    case QueryOutcome::Kind::Unasked:
        return;
    case QueryOutcome::Kind::Refused:
        load.show([this] {
            m_session.setVersionCode(kVersionCodeFallback);
            showRecord("1.0");
        });
        break;
    case QueryOutcome::Kind::Accepted:
        load.show([this, versionText] {
            m_session.setVersionCode(versionCodeFromText(versionText));
            showRecord(versionText);
        });
        break;
    }
    load.finish();
}

void InformationPage::listCheck(WindowLoad& load) {
    const bool restorable = load.run(kListCheck).accepted();
    load.show([this, restorable] {
        m_backUp->setEnabled(true);
        m_log->setEnabled(true);
        m_restore->setEnabled(restorable);
    });
}

void InformationPage::showRecord(const std::string& version) {
    const DeviceRecord& r = m_session.deviceRecord();
    const std::optional<std::string> appliedName = m_bluetoothName ? m_bluetoothName() : std::nullopt;
    const std::string& btName = appliedName ? *appliedName : r.btName;
    const std::string* texts[FieldCount] = {&r.productName,  &r.modelCode, &version,
                                            &r.serialNumber, &r.ipAddress, &r.controlPort,
                                            &r.macAddress,   &btName,      &r.btAddress};
    for (int i = 0; i < FieldCount; ++i)
        m_values[i]->setText(deviceTextShown(*texts[i]).trimmed());
}

void InformationPage::pause(std::chrono::milliseconds duration) {
    QEventLoop loop;
    // A coarse timer may fire up to 5 % early; the device needs the whole pause.
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void InformationPage::reboot() {
    if (!runQuery(m_session, m_prompter, kReboot))
        return;
    m_session.closeConnection();

    const auto waitWindow = std::make_unique<RebootWaitWindow>(window());
    waitWindow->show();
    pause(m_timing.pause);

    // True once settled: connected (and the login asked for), or no socket could be made at all.
    const auto settled = [&](DeviceSession::Reopen result) {
        if (result == DeviceSession::Reopen::ConnectFailed)
            return false;
        waitWindow->close();
        if (result == DeviceSession::Reopen::Connected)
            m_session.postRelogin();
        return true;
    };
    if (settled(m_session.reopenConnection(m_timing.reconnectWindow)))
        return;

    QElapsedTimer noted;
    noted.start();
    const auto remaining = [&] {
        return std::max(std::chrono::milliseconds(1),
                        m_timing.reconnectWindow - std::chrono::milliseconds(noted.elapsed()));
    };
    do {
        // A refused connect fails at once; a short pause keeps this from spinning.
        pause(std::min(m_timing.retryGap, remaining()));
        if (settled(m_session.reopenConnection(remaining())))
            return;
    } while (std::chrono::milliseconds(noted.elapsed()) < m_timing.reconnectWindow);
    waitWindow->close();
    m_prompter.message(tr("Reboot is Failed. Try again."));
    m_session.postReconnect();
}

} // namespace kvx
