#pragma once

#include "fleet/device_commands.h"

#include <QAbstractTableModel>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

// One row of the Devices window: the device as it was added, what the last refresh or discovery
// told of it, and the last action's end.
struct DeviceRow {
    enum class State { None, Waiting, Running, Done, Failed, Cancelled };

    fleet::Device device;
    bool fromInventory = false;
    // As the device sent them; shown and exported in their printable form.
    std::string btName;
    std::string mac;
    std::string model;
    std::string serial;
    std::string firmware;
    std::string mode;
    std::optional<int> links;
    State state = State::None;
    QString result;
};

// The Devices window's list: one row per device address, the columns the window shows.
class DeviceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Address, Mac, Model, Serial, Firmware, Mode, Links, Group, Result, ColumnCount };
    // What the list sorts by: numbers as numbers.
    static constexpr int kSortRole = Qt::UserRole;

    explicit DeviceListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString columnName(int column);
    // The text a cell shows, which is also what the CSV export writes.
    QString text(int row, int column) const;

    const std::vector<DeviceRow>& rows() const { return m_rows; }
    const DeviceRow& row(int index) const { return m_rows[std::size_t(index)]; }
    // The row of that address, if listed.
    std::optional<int> find(const fleet::HostAddress& address) const;

    // A device not listed yet goes at the end; a listed one takes what the newcomer knows (an
    // inventory's name, credentials, groups and variables). Returns the row.
    int add(DeviceRow row);
    void remove(std::vector<int> rows);
    void clear();

    void setState(int row, DeviceRow::State state, const QString& result);
    // What a discovery answer or a refresh told; the rest of the row stays.
    void setIdentity(int row, const DeviceRecord& record);
    void setInfo(int row, const fleet::DeviceOutcome& outcome);

private:
    void rowChanged(int row);

    std::vector<DeviceRow> m_rows;
};

} // namespace kvx
