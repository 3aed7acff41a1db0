#include "operation_mode_page.h"

#include "core/device_session.h"
#include "core/page_queries.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kRepeaterAndHubVersion = 263;

} // namespace

OperationModePage::OperationModePage(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : Page(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_modeName(new QLabel(this))
    , m_radios(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("operationModePage"));

    auto* current = new QGroupBox(tr("Operation Mode"), this);
    auto* currentLabel = new QLabel(tr("Current Mode  :"), current);
    m_modeName->setObjectName(QStringLiteral("modeName"));
    m_modeName->setAccessibleName(currentLabel->text());
    m_modeName->setMinimumWidth(120);
    QFont bold = m_modeName->font();
    bold.setBold(true);
    m_modeName->setFont(bold);
    QPushButton* advanced = namedButton(tr("Advanced Configuration"), "advancedButton", current);
    auto* currentLayout = new QHBoxLayout(current);
    currentLayout->addWidget(currentLabel);
    currentLayout->addWidget(m_modeName);
    currentLayout->addStretch();
    currentLayout->addWidget(advanced);

    auto* change = new QGroupBox(tr("Mode Change"), this);
    auto* radioGrid = new QGridLayout;
    const char* const captions[kModeCount] = {
        QT_TR_NOOP("Server Mode"),   QT_TR_NOOP("Client Mode"),     QT_TR_NOOP("Vertex Mode"),
        QT_TR_NOOP("Repeater Mode"), QT_TR_NOOP("Serial Hub Mode"), QT_TR_NOOP("RS232 Mode"),
    };
    m_radios->setExclusive(true);
    for (int i = 0; i < kModeCount; ++i) {
        auto* radio = new QRadioButton(tr(captions[i]), change);
        radio->setObjectName(QStringLiteral("modeRadio%1").arg(i));
        m_radioButtons[static_cast<std::size_t>(i)] = radio;
        m_radios->addButton(radio, i);
        radioGrid->addWidget(radio, i % 3, i / 3);
    }
    QPushButton* applyButton = namedButton(tr("Apply"), "applyButton", change);
    auto* note = new QLabel(tr("* Note : Make sure of No Bluetooth Serial Connection to Lumeno-KVX.\n"
                               "           You can't change the operation mode while connected."),
                            change);
    note->setObjectName(QStringLiteral("modeNote"));
    auto* changeRow = new QHBoxLayout;
    changeRow->addLayout(radioGrid, 1);
    changeRow->addWidget(applyButton, 0, Qt::AlignBottom);
    auto* changeLayout = new QVBoxLayout(change);
    changeLayout->addLayout(changeRow);
    changeLayout->addWidget(note);

    QPushButton* search = namedButton(tr("Search"), "searchButton", this);
    QPushButton* quit = namedButton(tr("Quit"), "quitButton", this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(search);
    bottom->addWidget(quit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current);
    layout->addWidget(change);
    layout->addStretch();
    layout->addLayout(bottom);

    connect(advanced, &QPushButton::clicked, this, &OperationModePage::openAdvancedConfiguration);
    connect(applyButton, &QPushButton::clicked, this, &OperationModePage::apply);
    connect(search, &QPushButton::clicked, this, [this] {
        m_replaced = false;
        m_session.runSearchWindow();
        // The mode shown is what Apply sends unless the operator picks another: after a connect to a
        // device it is that device's, not the last one's.
        if (m_replaced && !m_session.deviceRecord().ipAddress.empty())
            load();
    });
    connect(quit, &QPushButton::clicked, this, [this] { m_session.postClose(); });
}

int OperationModePage::radioSelection() const {
    return m_radios->checkedId();
}

void OperationModePage::setMode(int index) {
    m_modeIndex = index;
    // The names as the page shows them; the device's own words are never translated.
    static const char* const kShownNames[] = {
        QT_TR_NOOP("Server"),    QT_TR_NOOP("Client"), QT_TR_NOOP("Vertex"),  QT_TR_NOOP("Repeater"),
        QT_TR_NOOP("SerialHub"), QT_TR_NOOP("RS232"),  QT_TR_NOOP("Unknown"),
    };
    const bool known = index >= 0 && index < kModeCount;
    Q_ASSERT(modeName(known ? index : -1) == kShownNames[known ? index : kModeCount]);
    m_modeName->setText(tr(kShownNames[known ? index : kModeCount]));
    if (index >= 0 && index < kModeCount) {
        m_radioButtons[static_cast<std::size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied by unchecking its one checked button.
    m_radios->setExclusive(false);
    for (QRadioButton* radio : m_radioButtons)
        radio->setChecked(false);
    m_radios->setExclusive(true);
}

void OperationModePage::load() {
    m_modeIndex = radioSelection();
    // Apply sends the mode shown: a reply nobody asked for must not choose it.
    Reading reading(m_session);
    const std::optional<int> mode = queryMode(m_session, m_prompter);
    if (!mode || !reading.finish(m_prompter, kModeQuery.command))
        return;
    setMode(*mode);
    // Nothing here enables these again: a device does not lose a firmware feature while it runs.
    if (m_session.versionCode() < kRepeaterAndHubVersion) {
        m_radioButtons[static_cast<std::size_t>(OperationMode::Repeater)]->setEnabled(false);
        m_radioButtons[static_cast<std::size_t>(OperationMode::SerialHub)]->setEnabled(false);
    }
    if (m_session.deviceRecord().modelCode == "101")
        m_radioButtons[static_cast<std::size_t>(OperationMode::Rs232)]->setEnabled(false);
}

void OperationModePage::apply() {
    const int oldIndex = m_modeIndex;
    const int newIndex = radioSelection();
    m_modeIndex = newIndex;
    bool prepared;
    {
        const WindowOpening opening(*this);
        prepared = m_windows.prepare(newIndex);
    }
    if (!prepared) {
        setMode(oldIndex);
        return;
    }
    const QueryStep& change =
        newIndex == static_cast<int>(OperationMode::Repeater) ? kRepeaterModeChange : kModeChange;
    if (!runQuery(m_session, m_prompter, change, "mode " + std::string(modeKeyword(newIndex)) + "\r\n")) {
        setMode(oldIndex);
        return;
    }
    setMode(newIndex);
}

void OperationModePage::openAdvancedConfiguration() {
    // Repeater mode is set up before the change to it and has no settings window afterwards.
    const WindowOpening opening(*this);
    if (!m_windows.openSettings(m_modeIndex))
        m_prompter.message(tr("No advanced configuration needed."));
}

} // namespace kvx
