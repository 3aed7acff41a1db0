#include "neighborhoods_page.h"

#include "core/bluetooth_queries.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/neighbour_list.h"
#include "core/prompter.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvx {
namespace {

// Version 1.7, the first firmware with periodic inquiry.
constexpr VersionCode kPeriodicInquiryVersion = 263;

enum AccessCodeIndex { General = 0, Limited = 1 };

// In seconds, as the device takes them.
constexpr int kMostInquiryInterval = 3600;
constexpr int kMostInquiryLength = 60;

} // namespace

NeighborhoodsPage::NeighborhoodsPage(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : TimedPage(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_interval(new QLineEdit(this))
    , m_length(new QLineEdit(this))
    , m_accessCode(new QComboBox(this))
    , m_start(namedButton(tr("Start"), "startButton", this))
    , m_stop(namedButton(tr("Stop"), "stopButton", this))
    , m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("neighborhoodsPage"));

    m_interval->setObjectName(QStringLiteral("intervalEdit"));

    keepToOneLine(m_interval);
    m_length->setObjectName(QStringLiteral("lengthEdit"));
    keepToOneLine(m_length);
    m_accessCode->setObjectName(QStringLiteral("accessCodeCombo"));
    m_accessCode->addItems({tr("General"), tr("Limited")});
    m_accessCode->setCurrentIndex(General);

    auto* form = new QFormLayout;
    const std::pair<const char*, QWidget*> fields[] = {
        {QT_TR_NOOP("Interval (sec)"), m_interval},
        {QT_TR_NOOP("Length (sec)"), m_length},
        {QT_TR_NOOP("Inquiry Access Code"), m_accessCode},
    };
    for (const auto& [caption, field] : fields) {
        form->addRow(labelFor(tr(caption), field, this), field);
    }
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addLayout(form);
    controls->addSpacing(24);
    controls->addLayout(buttons);
    controls->addStretch();

    m_list->setObjectName(QStringLiteral("neighbourList"));
    m_list->setAccessibleName(tr("Neighborhoods"));
    m_list->setHeaderLabels({tr("BDADDR"), tr("CoD"), tr("Bluetooth Friendly Name")});
    setUpReportList(m_list);
    m_list->setColumnWidth(0, 150);
    m_list->setColumnWidth(1, 90);
    m_list->setColumnWidth(2, 320);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_list, 1);

    showRunning(false);
    connect(m_start, &QPushButton::clicked, this, &NeighborhoodsPage::start);
    connect(m_stop, &QPushButton::clicked, this, &NeighborhoodsPage::stop);
}

void NeighborhoodsPage::showRunning(bool running) {
    m_start->setEnabled(!running);
    m_interval->setEnabled(!running);
    m_length->setEnabled(!running);
    m_accessCode->setEnabled(!running);
    m_stop->setEnabled(running);
}

void NeighborhoodsPage::load() {
    if (m_unsupported || m_session.versionCode() < kPeriodicInquiryVersion) {
        m_unsupported = true;
        for (QWidget* control :
             std::initializer_list<QWidget*>{m_start, m_stop, m_interval, m_length, m_accessCode, m_list})
            control->setEnabled(false);
        return;
    }
    WindowLoad load(m_session, m_prompter, &m_settingsRead);
    std::optional<PeriodicInquiryState> state;
    if (!load.run(kPeriodicInquiryQuery, ReplyForm::Value, [&state](std::string_view reply) {
            state = parsePeriodicInquiryState(reply);
            return state.has_value();
        }))
        return;
    load.show([this, state = *state] {
        m_accessCode->setCurrentIndex(state.general() ? General : Limited);
        showRunning(state.running);
        // A device that reports the inquiry off leaves a running poll alone; Stop or another tab ends it.
        if (state.running && !refreshTimerRunning())
            startRefreshTimer();
        showDeviceText(*m_interval, state.interval);
        showDeviceText(*m_length, state.length);
    });
    load.finish();
}

void NeighborhoodsPage::connectionReplaced() {
    m_settingsRead.clear();
}

void NeighborhoodsPage::start() {
    if (!m_settingsRead.allowsSending(m_prompter) ||
        !numbersFit(m_prompter, {{m_interval, tr("Interval (sec)"), 1, kMostInquiryInterval},
                                 {m_length, tr("Length (sec)"), 1, kMostInquiryLength}}))
        return;
    const std::string_view code =
        m_accessCode->currentIndex() == General ? kGeneralInquiryAccessCode : kLimitedInquiryAccessCode;
    const std::string command = "pinq on " + deviceFieldBytes(*m_interval) + " " +
                                deviceFieldBytes(*m_length) + " " + std::string(code) + "\r\n";
    // The outcome shows through the state read back by the load.
    runQuery(m_session, m_prompter, kPeriodicInquiryStart, command);
    load();
}

void NeighborhoodsPage::stop() {
    stopRefreshTimer();
    runQuery(m_session, m_prompter, kPeriodicInquiryStop);
    showRunning(false);
}

void NeighborhoodsPage::refreshTick() {
    if (m_session.inTransaction())
        return;
    std::optional<std::vector<Neighbour>> neighbours;
    if (!runQuery(m_session, m_prompter, kNeighbourPoll, {}, [&neighbours](std::string_view reply) {
            neighbours = parseNeighbourList(reply);
            return neighbours.has_value() && inReplyForm(reply, ReplyForm::List);
        }))
        return;
    m_list->clear();
    for (const Neighbour& n : *neighbours)
        new QTreeWidgetItem(
            m_list, {deviceTextShown(n.address), deviceTextShown(n.classOfDevice), deviceTextShown(n.name)});
}

} // namespace kvx
