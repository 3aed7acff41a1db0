#include "routing_table_window.h"

#include "core/device_session.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/routing_queries.h"
#include "routing/route_setting_window.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvx {

RoutingTableWindow::RoutingTableWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_list(new QTreeWidget(this))
    , m_editButton(namedButton(tr("Edit"), "editButton", this))
    , m_delButton(namedButton(tr("Del"), "delButton", this)) {
    setObjectName(QStringLiteral("routingTableWindow"));
    setWindowTitle(tr("Serial Hub Mode"));
    setModal(true);

    auto* group = new QGroupBox(tr("Routing Table"), this);
    m_list->setObjectName(QStringLiteral("routeList"));
    m_list->setAccessibleName(group->title());
    m_list->setHeaderLabels({tr("From"), QStringLiteral(" "), tr("To")});
    setUpReportList(m_list);
    // Addresses line up in columns only in a fixed-pitch face.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(12);
    m_list->setFont(font);
    m_list->setColumnWidth(0, 160);
    m_list->setColumnWidth(1, 45);
    m_list->setColumnWidth(2, 160);

    auto* addButton = namedButton(tr("Add"), "addButton", this);
    auto* applyButton = namedButton(tr("Apply"), "applyButton", this);
    auto* clearButton = namedButton(tr("Clear"), "clearButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_delButton);
    buttons->addStretch();
    buttons->addWidget(applyButton);
    buttons->addWidget(clearButton);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);
    groupLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    resize(440, 360);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &RoutingTableWindow::updateButtons);
    connect(addButton, &QPushButton::clicked, this, &RoutingTableWindow::add);
    connect(m_editButton, &QPushButton::clicked, this, &RoutingTableWindow::edit);
    connect(m_delButton, &QPushButton::clicked, this, &RoutingTableWindow::remove);
    connect(applyButton, &QPushButton::clicked, this, &RoutingTableWindow::apply);
    connect(clearButton, &QPushButton::clicked, this, &RoutingTableWindow::clear);
    load();
    updateButtons();
}

void RoutingTableWindow::load() {
    // Apply sends the rows shown back as the device's table.
    WindowLoad load(m_session, m_prompter, &m_routesRead);
    // The second reading confirms the opposite routes that the first one pairs into two-way rows.
    const QueryOutcome listed = load.run(kRouteQuery, ReplyForm::List);
    const QueryOutcome table = load.run(kRouteQuery, ReplyForm::List);
    if (!listed || !table)
        return;
    load.show([this, rows = groupRoutes(routesFrom(listed.reply), routesFrom(table.reply))] {
        m_rows = rows;
        showRows(std::nullopt);
    });
    load.finish();
}

void RoutingTableWindow::showRows(std::optional<std::size_t> selected) {
    m_list->clear();
    for (const RouteRow& row : m_rows) {
        m_list->addTopLevelItem(new QTreeWidgetItem(
            {deviceTextShown(row.from), fromStd(directionText(row.twoWay)), deviceTextShown(row.to)}));
    }
    if (selected && *selected < m_rows.size())
        m_list->setCurrentItem(m_list->topLevelItem(static_cast<int>(*selected)));
    updateButtons();
}

void RoutingTableWindow::updateButtons() {
    const bool rowSelected = selectedRow().has_value();
    m_editButton->setEnabled(rowSelected);
    m_delButton->setEnabled(rowSelected);
}

std::optional<std::size_t> RoutingTableWindow::selectedRow() const {
    const QList<QTreeWidgetItem*> items = m_list->selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(m_list->indexOfTopLevelItem(items.first()));
}

void RoutingTableWindow::add() {
    RouteSettingWindow editor(m_session, m_prompter, {}, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    appendGroup(m_rows, editor.route());
    showRows(selectedRow());
}

void RoutingTableWindow::edit() {
    const std::optional<std::size_t> row = selectedRow();
    const std::optional<RouteGroup> group = row ? groupAt(m_rows, *row) : std::nullopt;
    if (!group)
        return;
    // Cutting the group to the window's rows would drop the rest from the device on Apply.
    if (group->targets.size() > static_cast<std::size_t>(RouteSettingWindow::kToCount)) {
        m_prompter.message(tr("This group has more than 14 To addresses and cannot be edited here."));
        return;
    }
    RouteSettingWindow editor(m_session, m_prompter, *group, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    replaceGroup(m_rows, *row, editor.route());
    showRows(std::nullopt);
}

void RoutingTableWindow::remove() {
    const std::optional<std::size_t> row = selectedRow();
    if (!row)
        return;
    deleteRow(m_rows, *row);
    // The row that moved up takes the selection, so that Del can go on down the list.
    showRows(row);
}

void RoutingTableWindow::apply() {
    if (!m_routesRead.allowsSending(m_prompter))
        return;
    resetDeviceTable();
    for (const std::string& line : routeAddLines(m_rows))
        runQuery(m_session, m_prompter, kRouteAdd, line);
    accept();
}

void RoutingTableWindow::clear() {
    if (!m_prompter.askYesNo(tr("Zizov"), tr("Clear all?"), Prompter::Icon::Warning))
        return;
    resetDeviceTable();
    load();
}

void RoutingTableWindow::resetDeviceTable() {
    runQuery(m_session, m_prompter, kRoutePointToPoint);
    runQuery(m_session, m_prompter, kRouteManual);
}

} // namespace kvx
