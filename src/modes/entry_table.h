#pragma once

#include "core/server_mode_replies.h"

#include <QList>
#include <QString>
#include <QTreeWidget>
#include <functional>
#include <optional>
#include <vector>

namespace kvx {

// What the table editors read from a row: the BDADDR/Name and the port or IP:Port beside it.
struct EntryRow {
    QString bdaddrOrName;
    QString endpoint;
};
using EntryRows = QList<EntryRow>;

// True when a row holds what `holds` looks for while the row under modification does not: a value that
// row already has stays free for it.
bool takenByAnotherRow(const EntryRows& rows, int modifiedRow,
                       const std::function<bool(const EntryRow&)>& holds);

// The registered entries of the Server and Client Mode windows: a hidden index column, the BDADDR/Name
// and the port or IP:Port. The selected row is the row index of the operator's last pick; it outlives a
// reload and a deletion, and whatever row stands at that index then is highlighted, so that Delete and
// Modify act on the row the operator sees.
class EntryTable : public QTreeWidget {
    Q_OBJECT
public:
    // Three titles; the first column is hidden.
    EntryTable(const QStringList& titles, int nameWidth, int endpointWidth, QWidget* parent = nullptr);

    void clearRows();
    void appendEntries(const std::vector<ListedEntry>& entries);
    // A row added in this window is indexed by the row number it was added at.
    void appendAdded(const EntryRow& row);
    EntryRows rows() const;

    // Nothing when no row was picked, or when the picked index lies past the last row.
    std::optional<int> selectedRow() const;
    void removeSelectedRow();
    // The index column is kept.
    void rewriteSelectedRow(const EntryRow& row);

private:
    void appendRow(const QString& index, const QString& bdaddrOrName, const QString& endpoint);
    void showSelectedRow();

    int m_selectedRow = -1;
};

} // namespace kvx
