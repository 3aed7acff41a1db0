#pragma once

#include "modes/entry_window.h"

#include <QGroupBox>
#include <array>
#include <optional>
#include <vector>

class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;
struct ListedEntry;
struct QueryStep;

// A row of a registered entry table: the device's index text for the entry and the entry.
struct TableRow {
    QString index;
    EntryRow entry;
};

// How one of the tables looks and what its Delete sends; Add and Modify open its editors.
struct EntryTableForm {
    const char* context; // the translation context of every text below
    const char* title;
    const char* objectName; // of the list
    std::array<const char*, 3> columns;
    std::array<const char*, 3> buttons; // Add, Delete, Modify
    int nameWidth;
    int endpointWidth;
    const EntryForm* addForm;
    const EntryForm* modifyForm;
    const QueryStep* remove;
    EntryCommand removeCommand;
};

// The registered entries of the Server and Client Mode windows with their Add, Delete and Modify
// buttons, each of which changes the device at once. The list shows a hidden index column, the
// BDADDR/Name and the port or IP:Port. The selected row is the row index of the operator's last pick;
// it outlives a reload and a deletion, and whatever row stands at that index then is highlighted, so
// that Delete and Modify act on the row the operator sees.
class EntryTable : public QGroupBox {
    Q_OBJECT
public:
    EntryTable(DeviceSession& session, Prompter& prompter, const EntryTableForm& form, QWidget* parent);

    void clear();
    void append(const std::vector<ListedEntry>& entries);

private:
    void addEntry();
    void deleteEntry();
    void modifyEntry();
    EntryRows entries() const;
    // Nothing when no row was picked, or when the picked index lies past the last row.
    std::optional<int> selectedRow() const;
    void appendRow(const TableRow& row);
    void showSelectedRow();

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryTableForm& m_form;
    QTreeWidget* m_list;
    std::vector<TableRow> m_rows;
    int m_selectedRow = -1;
};

} // namespace kvx
