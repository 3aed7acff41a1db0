#include "device_picker.h"

#include "core/bluetooth_queries.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/status_lines.h"
#include "ui/widget_setup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvx {
namespace {

// idx, dev, Port and Addr are cut; what follows the address is not needed here.
constexpr int kFieldsThroughAddress = 5;
constexpr int kAddressField = 3;

} // namespace

std::vector<std::string> connectedAddresses(std::string_view reply) {
    std::vector<std::string> addresses;
    for (const std::string& line : parseStatusLines(reply).lines) {
        // A refused "List" is no connection; the lines before a refusal still are.
        if (line.starts_with("-ERR"))
            break;
        addresses.push_back(splitPipeFields(line, kFieldsThroughAddress)[kAddressField]);
    }
    return addresses;
}

DevicePicker::DevicePicker(DeviceSession& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("devicePicker"));
    setWindowTitle(tr("SD List"));
    setModal(true);

    m_list->setObjectName(QStringLiteral("addressList"));
    m_list->setAccessibleName(tr("BD_ADDRESS"));
    m_list->setHeaderLabels({tr("BD_ADDRESS")});
    setUpReportList(m_list);

    QPushButton* refreshButton = namedButton(tr("Refresh"), "refreshButton", this);
    QPushButton* applyButton = namedButton(tr("Apply"), "applyButton", this);
    applyButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refreshButton);
    buttons->addWidget(applyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(260, 240);

    connect(refreshButton, &QPushButton::clicked, this, &DevicePicker::fill);
    connect(applyButton, &QPushButton::clicked, this, &DevicePicker::apply);
    fill();
}

void DevicePicker::fill() {
    m_list->clear();
    // The picker shows no message: a list that did not come leaves it empty.
    for (const std::string& address : connectedAddresses(askQuery(m_session, kPickerList).reply))
        m_list->addTopLevelItem(new QTreeWidgetItem({deviceTextShown(address)}));
}

void DevicePicker::apply() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    m_chosen = selected.isEmpty() ? QString() : selected.first()->text(0);
    accept();
}

} // namespace kvx
