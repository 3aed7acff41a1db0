#include "route_setting_window.h"

#include "controls/masked_edit.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "pages/device_picker.h"
#include "ui/device_field.h"
#include "ui/widget_setup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

MaskedEdit* addressField(const QString& name, const QString& accessibleName, QWidget* parent) {
    auto* field = new MaskedEdit(QString(), parent);
    // The prompt goes in before the mask, so that the empty positions show it from the start.
    field->setPromptChar(QLatin1Char('_'));
    field->setMask(bdAddressMask());
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    return field;
}

// An address of the device's table goes back as the device wrote it unless the operator changes it.
void showAddress(MaskedEdit* field, const std::string& address) {
    field->setText(deviceTextShown(address));
    rememberDeviceText(*field, address);
}

} // namespace

RouteSettingWindow::RouteSettingWindow(DeviceSession& session, Prompter& prompter, const RouteGroup& group,
                                       QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_from(addressField(QStringLiteral("fromEdit"), tr("From"), this)) {
    setObjectName(QStringLiteral("routeSettingWindow"));
    setWindowTitle(tr("Route Setting"));
    setModal(true);

    const QString pickText = tr("...");
    const auto pickButton = [&](MaskedEdit* field, const QString& name) {
        QPushButton* button = namedButton(pickText, qPrintable(name), this);
        connect(button, &QPushButton::clicked, this, [this, field] { pickInto(field); });
        return button;
    };

    auto* fromGroup = new QGroupBox(tr("From"), this);
    auto* fromRow = new QHBoxLayout(fromGroup);
    fromRow->addWidget(m_from, 1);
    fromRow->addWidget(pickButton(m_from, QStringLiteral("fromPickButton")));
    showAddress(m_from, group.from);

    auto* toGroup = new QGroupBox(tr("To"), this);
    auto* toGrid = new QGridLayout(toGroup);
    const QString twoWayHeading = tr("<-->");
    toGrid->addWidget(new QLabel(twoWayHeading, this), 0, 0);
    for (int k = 0; k < kToCount; ++k) {
        const QString number = QString::number(k + 1);
        m_twoWay[k] = new QCheckBox(this);
        m_twoWay[k]->setObjectName(QStringLiteral("twoWayCheck") + number);
        m_twoWay[k]->setAccessibleName(twoWayHeading + QLatin1Char(' ') + number);
        m_to[k] = addressField(QStringLiteral("toEdit") + number, tr("To") + QLatin1Char(' ') + number, this);
        toGrid->addWidget(m_twoWay[k], k + 1, 0);
        toGrid->addWidget(m_to[k], k + 1, 1);
        toGrid->addWidget(pickButton(m_to[k], QStringLiteral("toPickButton") + number), k + 1, 2);
        if (static_cast<std::size_t>(k) < group.targets.size()) {
            showAddress(m_to[k], group.targets[k].to);
            m_twoWay[k]->setChecked(group.targets[k].twoWay);
        }
    }
    toGrid->setColumnStretch(1, 1);

    QPushButton* okButton = namedButton(tr("OK"), "okButton", this);
    okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fromGroup);
    layout->addWidget(toGroup);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &RouteSettingWindow::ok);
}

void RouteSettingWindow::pickInto(MaskedEdit* field) {
    DevicePicker picker(m_session, this);
    if (picker.exec() == QDialog::Accepted)
        field->setText(picker.chosenAddress());
}

void RouteSettingWindow::ok() {
    if (m_from->firstEmptyInputPosition() != kBdAddressLength) {
        m_prompter.message(tr("Fill the Bdaddr completely."));
        return;
    }
    m_route = {deviceFieldBytes(*m_from), {}};
    for (int k = 0; k < kToCount; ++k) {
        // A partly filled To goes back as typed; only a field left wholly empty is passed over.
        if (!m_to[k]->isEveryInputEmpty())
            m_route.targets.push_back({deviceFieldBytes(*m_to[k]), m_twoWay[k]->isChecked()});
    }
    accept();
}

} // namespace kvx
