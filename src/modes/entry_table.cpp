#include "entry_table.h"

#include "ui/widget_setup.h"

#include <QSignalBlocker>
#include <algorithm>

namespace kvx {
namespace {

enum Column { IndexColumn, NameColumn, EndpointColumn, ColumnCount };

} // namespace

bool takenByAnotherRow(const EntryRows& rows, int modifiedRow,
                       const std::function<bool(const EntryRow&)>& holds) {
    return std::any_of(rows.begin(), rows.end(), holds) && !holds(rows.at(modifiedRow));
}

EntryTable::EntryTable(const QStringList& titles, int nameWidth, int endpointWidth, QWidget* parent)
    : QTreeWidget(parent) {
    setColumnCount(ColumnCount);
    setHeaderLabels(titles);
    setUpReportList(this);
    setColumnWidth(IndexColumn, 0);
    setColumnHidden(IndexColumn, true);
    setColumnWidth(NameColumn, nameWidth);
    setColumnWidth(EndpointColumn, endpointWidth);
    // Selections made here by the window itself are made with signals blocked, so only the operator's
    // clicks and keys reach this.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> picked = selectedItems();
        m_selectedRow = picked.isEmpty() ? -1 : indexOfTopLevelItem(picked.first());
    });
}

void EntryTable::clearRows() {
    const QSignalBlocker quiet(this);
    clear();
}

void EntryTable::appendEntries(const std::vector<ListedEntry>& entries) {
    for (const ListedEntry& entry : entries)
        appendRow(QString::fromStdString(entry.index), QString::fromStdString(entry.bdaddrOrName),
                  QString::fromStdString(entry.endpoint));
    showSelectedRow();
}

void EntryTable::appendAdded(const EntryRow& row) {
    appendRow(QString::number(topLevelItemCount()), row.bdaddrOrName, row.endpoint);
    showSelectedRow();
}

EntryRows EntryTable::rows() const {
    EntryRows result;
    for (int r = 0; r < topLevelItemCount(); ++r)
        result.push_back({topLevelItem(r)->text(NameColumn), topLevelItem(r)->text(EndpointColumn)});
    return result;
}

std::optional<int> EntryTable::selectedRow() const {
    if (m_selectedRow < 0 || m_selectedRow >= topLevelItemCount())
        return std::nullopt;
    return m_selectedRow;
}

void EntryTable::removeSelectedRow() {
    if (!selectedRow())
        return;
    {
        const QSignalBlocker quiet(this);
        delete takeTopLevelItem(m_selectedRow);
    }
    showSelectedRow();
}

void EntryTable::rewriteSelectedRow(const EntryRow& row) {
    if (!selectedRow())
        return;
    QTreeWidgetItem* item = topLevelItem(m_selectedRow);
    item->setText(NameColumn, row.bdaddrOrName);
    item->setText(EndpointColumn, row.endpoint);
}

void EntryTable::appendRow(const QString& index, const QString& bdaddrOrName, const QString& endpoint) {
    const QSignalBlocker quiet(this);
    addTopLevelItem(new QTreeWidgetItem({index, bdaddrOrName, endpoint}));
}

void EntryTable::showSelectedRow() {
    const QSignalBlocker quiet(this);
    if (const std::optional<int> row = selectedRow())
        setCurrentItem(topLevelItem(*row));
    else
        clearSelection();
}

} // namespace kvx
