#include "information_page.h"

#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/device_log_fetch.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/firmware_version.h"
#include "core/page_queries.h"
#include "core/prompter.h"
#include "core/vocabulary.h"
#include "pages/reboot_wait_window.h"
#include "ui/progress_dialog.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QDir>
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
namespace {

// The log is shown in the desktop's viewer for text files; where there is none, the operator is told
// where the file is instead of being left with nothing.
class LogViewing : public Prompter {
public:
    explicit LogViewing(Prompter& prompter)
        : m_prompter(prompter) {}

    void message(const QString& text) override { m_prompter.message(text); }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override {
        return m_prompter.askYesNo(caption, text, icon);
    }
    QString openFileName(const QString& filter, const QString& defaultExtension) override {
        return m_prompter.openFileName(filter, defaultExtension);
    }
    QString saveFileName(const QString& filter, const QString& defaultName,
                         const QString& defaultExtension) override {
        return m_prompter.saveFileName(filter, defaultName, defaultExtension);
    }
    bool openInViewer(const QString& path) override {
        if (m_prompter.openInViewer(path))
            return true;
        m_prompter.message(InformationPage::tr("No viewer opened the device log. It was written to:") +
                           u'\n' + QDir::toNativeSeparators(path));
        return false;
    }

private:
    Prompter& m_prompter;
};

} // namespace

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
    connect(m_backUp, &QPushButton::clicked, this, &InformationPage::backUp);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (!restore())
            m_restore->setEnabled(false);
    });
    connect(m_log, &QPushButton::clicked, this, &InformationPage::fetchLog);
}

void InformationPage::backUp() {
    ProgressDialog progress(tr("Back up"), this);
    ConfigBackup(m_session, m_prompter, progress).run();
    // The earlier file at the path, if any, is only replaced by a backup that completed.
    if (progress.cancelled())
        m_prompter.message(tr("The backup was cancelled. Nothing was saved."));
}

bool InformationPage::restore() {
    ProgressDialog progress(tr("Restore"), this);
    const ConfigRestore::Result result = ConfigRestore(m_session, m_prompter, progress).run();
    if (progress.cancelled())
        m_prompter.message(tr("The restore was cancelled. The settings sent before it stay on the device."));
    return result != ConfigRestore::Result::ConnectionActive;
}

void InformationPage::fetchLog() {
    LogViewing prompter(m_prompter);
    DeviceLogFetch(m_session, prompter).run();
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
