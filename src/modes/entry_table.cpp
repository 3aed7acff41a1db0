#include "entry_table.h"

#include "core/device_text.h"
#include "core/query.h"
#include "core/server_mode_replies.h"
#include "ui/widget_setup.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvx {
namespace {

enum Column { NameColumn, EndpointColumn, ColumnCount };

} // namespace

EntryTable::EntryTable(DeviceSession& session, Prompter& prompter, const EntryTableForm& form,
                       QWidget* parent)
    : QGroupBox(QCoreApplication::translate(form.context, form.title), parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_form(form)
    , m_list(new QTreeWidget(this)) {
    const auto text = [&form](const char* source) {
        return QCoreApplication::translate(form.context, source);
    };
    m_list->setObjectName(QLatin1String(form.objectName));
    m_list->setAccessibleName(title());
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({text(form.columns[0]), text(form.columns[1])});
    setUpReportList(m_list);
    m_list->setColumnWidth(NameColumn, form.nameWidth);
    m_list->setColumnWidth(EndpointColumn, form.endpointWidth);
    // Selections made here by the window itself are made with signals blocked, so only the operator's
    // clicks and keys reach this.
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> picked = m_list->selectedItems();
        m_selectedRow = picked.isEmpty() ? -1 : m_list->indexOfTopLevelItem(picked.first());
    });

    auto* addButton = namedButton(text(form.buttons[0]), "addButton", this);
    auto* deleteButton = namedButton(text(form.buttons[1]), "deleteButton", this);
    auto* modifyButton = namedButton(text(form.buttons[2]), "modifyButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(addButton);
    buttons->addWidget(deleteButton);
    buttons->addWidget(modifyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(addButton, &QPushButton::clicked, this, &EntryTable::addEntry);
    connect(deleteButton, &QPushButton::clicked, this, &EntryTable::deleteEntry);
    connect(modifyButton, &QPushButton::clicked, this, &EntryTable::modifyEntry);
}

void EntryTable::clear() {
    m_rows.clear();
    const QSignalBlocker quiet(m_list);
    m_list->clear();
}

void EntryTable::append(const std::vector<ListedEntry>& entries) {
    for (const ListedEntry& entry : entries)
        appendRow({DeviceText::read(entry.bdaddrOrName), DeviceText::read(entry.endpoint)});
    showSelectedRow();
}

void EntryTable::addEntry() {
    EntryWindow editor(m_session, m_prompter, *m_form.addForm, m_rows, std::nullopt, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    appendRow(editor.entry());
    showSelectedRow();
}

void EntryTable::deleteEntry() {
    const std::optional<int> row = selectedRow();
    if (!row)
        return;
    const EntryRow entry = m_rows.at(*row);
    // The row goes whatever the device answers; the next opening shows the device's own table.
    m_rows.erase(m_rows.begin() + *row);
    {
        const QSignalBlocker quiet(m_list);
        delete m_list->takeTopLevelItem(*row);
    }
    showSelectedRow();
    runQuery(m_session, m_prompter, *m_form.remove,
             m_form.removeCommand(entry.bdaddrOrName.bytes, entry.endpoint.bytes));
}

void EntryTable::modifyEntry() {
    const std::optional<int> row = selectedRow();
    if (!row)
        return;
    EntryWindow editor(m_session, m_prompter, *m_form.modifyForm, m_rows, *row, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    EntryRow& entry = m_rows.at(*row);
    entry = editor.entry();
    QTreeWidgetItem* item = m_list->topLevelItem(*row);
    item->setText(NameColumn, entry.bdaddrOrName.shown);
    item->setText(EndpointColumn, entry.endpoint.shown);
}

std::optional<int> EntryTable::selectedRow() const {
    if (m_selectedRow < 0 || m_selectedRow >= int(m_rows.size()))
        return std::nullopt;
    return m_selectedRow;
}

void EntryTable::appendRow(const EntryRow& row) {
    m_rows.push_back(row);
    const QSignalBlocker quiet(m_list);
    m_list->addTopLevelItem(new QTreeWidgetItem({row.bdaddrOrName.shown, row.endpoint.shown}));
}

void EntryTable::showSelectedRow() {
    const QSignalBlocker quiet(m_list);
    if (const std::optional<int> row = selectedRow())
        m_list->setCurrentItem(m_list->topLevelItem(*row));
    else
        m_list->clearSelection();
}

} // namespace kvx
