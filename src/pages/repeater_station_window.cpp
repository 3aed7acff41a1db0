#include "repeater_station_window.h"

#include "controls/masked_edit.h"
#include "core/bluetooth_queries.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/station_address.h"
#include "core/vocabulary.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {

RepeaterStationWindow::RepeaterStationWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_address(new MaskedEdit(QString(), this)) {
    setObjectName(QStringLiteral("repeaterStationWindow"));
    setWindowTitle(tr("Repeater Mode"));
    setModal(true);

    // The prompt goes in before the mask, so that the empty positions show blanks from the start.
    m_address->setPromptChar(QLatin1Char(' '));
    m_address->setMask(bdAddressMask());
    m_address->setObjectName(QStringLiteral("addressEdit"));
    QLabel* label = labelFor(tr("BDADDR"), m_address, this);

    auto* group = new QGroupBox(tr("Station Lumeno-KVX"), this);
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(m_address, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    QPushButton* okButton = addActionRow(this, layout, tr("OK"), QStringLiteral("okButton"));
    connect(okButton, &QPushButton::clicked, this, &RepeaterStationWindow::ok);
    load();
}

void RepeaterStationWindow::load() {
    // The address fills the field only when it came with "+OK"; nothing is said otherwise. OK sends it.
    WindowLoad load(m_session, m_prompter);
    std::optional<std::string> input;
    if (!load.run(kStationQuery, ReplyForm::Value, [&input](std::string_view reply) {
            input = stationInputFrom(reply);
            return input.has_value();
        }))
        return;
    load.show([this, input = *input] { m_address->writeInputData(deviceTextShown(input)); });
    load.finish();
}

void RepeaterStationWindow::ok() {
    if (m_address->firstEmptyInputPosition() != kBdAddressLength) {
        m_prompter.message(tr("Incorrect Bluetooth Address."));
        return;
    }
    if (runQuery(m_session, m_prompter, kStationSet, stationSetCommand(toStd(m_address->inputData()))))
        accept();
}

} // namespace kvx
