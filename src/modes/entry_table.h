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

// How one of the tables looks and what its Delete sends; Add and Modify open its editors.
struct EntryTableForm {
    const char* context; // the translation context of every text below
    const char* title;
    const char* objectName;             // of the list
    std::array<const char*, 2> columns; // BDADDR/Name, then the port or IP:Port
    std::array<const char*, 3> buttons; // Add, Delete, Modify
    int nameWidth;
    int endpointWidth;
    const EntryForm* addForm;
    const EntryForm* modifyForm;
    const QueryStep* remove;
    EntryCommand removeCommand;
};

// The registered entries of the Server and Client Mode windows with their Add, Delete and Modify
// buttons, each of which changes the device at once. The list shows the BDADDR/Name and the port or
// IP:Port; the device's index of an entry is shown nowhere and sent nowhere, so the list holds no
// hidden column for it that a screen reader would announce. The selected row is the row index of the
// operator's last pick; it outlives a reload and a deletion, and whatever row stands at that index then is
// highlighted, so that Delete and Modify act on the row the operator sees.
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
    // Nothing when no row was picked, or when the picked index lies past the last row.
    std::optional<int> selectedRow() const;
    void appendRow(const EntryRow& row);
    void showSelectedRow();

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryTableForm& m_form;
    QTreeWidget* m_list;
    EntryRows m_rows;
    int m_selectedRow = -1;
};

} // namespace kvx
