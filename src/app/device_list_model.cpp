#include "device_list_model.h"

#include "core/qt_text.h"
#include "fleet/printable.h"

#include <QBrush>
#include <QColor>
#include <QJsonArray>
#include <algorithm>

namespace kvx {
namespace {

const char* const kColumnNames[DeviceListModel::ColumnCount] = {
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Name"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Address"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "MAC"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Model"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Serial"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Firmware"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Mode"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Links"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Group"),
    QT_TRANSLATE_NOOP("kvx::DeviceListModel", "Result"),
};

// Text a device or a file gave: escaped, so that it can neither break a cell nor fake one.
QString shown(const std::string& text) {
    return fromStd(fleet::printable(text));
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : ", ") + part;
    return out;
}

} // namespace

DeviceListModel::DeviceListModel(QObject* parent)
    : QAbstractTableModel(parent) {}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DeviceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString DeviceListModel::columnName(int column) {
    return column >= 0 && column < ColumnCount ? tr(kColumnNames[column]) : QString();
}

QString DeviceListModel::text(int index, int column) const {
    const DeviceRow& r = row(index);
    switch (column) {
    case Name:
        return shown(r.device.name.empty() ? r.btName : r.device.name);
    case Address:
        return shown(r.device.label());
    case Mac:
        return shown(r.mac);
    case Model:
        return shown(r.model);
    case Serial:
        return shown(r.serial);
    case Firmware:
        return shown(r.firmware);
    case Mode:
        return shown(r.mode);
    case Links:
        return r.links ? QString::number(*r.links) : QString();
    case Group:
        return shown(joined(r.device.groups));
    case Result:
        return r.result;
    default:
        return {};
    }
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DeviceRow& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case kSortRole:
        if (index.column() == Links)
            return r.links ? QVariant(*r.links) : QVariant(-1);
        return text(index.row(), index.column());
    case Qt::ToolTipRole:
        return index.column() == Result && !r.result.isEmpty() ? QVariant(r.result) : QVariant();
    case Qt::BackgroundRole:
        // The words say it too ("failed at ..."); the colour makes the row found at a glance.
        if (r.state == DeviceRow::State::Failed)
            return QBrush(QColor(255, 214, 214));
        return {};
    case Qt::ForegroundRole:
        if (r.state == DeviceRow::State::Failed)
            return QBrush(QColor(140, 0, 0));
        return {};
    default:
        return {};
    }
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return columnName(section);
}

std::optional<int> DeviceListModel::find(const fleet::HostAddress& address) const {
    const std::string label = address.label();
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                    [&](const DeviceRow& r) { return r.device.label() == label; });
    if (found == m_rows.end())
        return std::nullopt;
    return int(found - m_rows.begin());
}

int DeviceListModel::add(DeviceRow newcomer) {
    if (const std::optional<int> known = find(newcomer.device.address)) {
        DeviceRow& r = m_rows[std::size_t(*known)];
        if (newcomer.fromInventory) {
            r.device = std::move(newcomer.device);
            r.fromInventory = true;
        }
        const std::pair<std::string*, std::string*> fields[] = {
            {&r.btName, &newcomer.btName}, {&r.mac, &newcomer.mac},           {&r.model, &newcomer.model},
            {&r.serial, &newcomer.serial}, {&r.firmware, &newcomer.firmware}, {&r.mode, &newcomer.mode}};
        for (const auto& [mine, theirs] : fields)
            if (!theirs->empty())
                *mine = std::move(*theirs);
        if (newcomer.links)
            r.links = newcomer.links;
        rowChanged(*known);
        return *known;
    }
    const int index = rowCount();
    beginInsertRows({}, index, index);
    m_rows.push_back(std::move(newcomer));
    endInsertRows();
    return index;
}

void DeviceListModel::remove(std::vector<int> rows) {
    // From the last up, so that the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int index : rows) {
        if (index < 0 || index >= rowCount())
            continue;
        beginRemoveRows({}, index, index);
        m_rows.erase(m_rows.begin() + index);
        endRemoveRows();
    }
}

void DeviceListModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void DeviceListModel::setState(int index, DeviceRow::State state, const QString& result) {
    DeviceRow& r = m_rows[std::size_t(index)];
    r.state = state;
    r.result = result;
    rowChanged(index);
}

void DeviceListModel::setIdentity(int index, const DeviceRecord& record) {
    DeviceRow& r = m_rows[std::size_t(index)];
    const std::pair<std::string*, const std::string*> fields[] = {{&r.btName, &record.btName},
                                                                  {&r.mac, &record.macAddress},
                                                                  {&r.model, &record.modelCode},
                                                                  {&r.serial, &record.serialNumber}};
    for (const auto& [mine, theirs] : fields)
        if (!theirs->empty())
            *mine = *theirs;
    rowChanged(index);
}

void DeviceListModel::setInfo(int index, const fleet::DeviceOutcome& outcome) {
    DeviceRow& r = m_rows[std::size_t(index)];
    const std::pair<const char*, std::string*> texts[] = {{"name", &r.btName},       {"mac", &r.mac},
                                                          {"model", &r.model},       {"serial", &r.serial},
                                                          {"firmware", &r.firmware}, {"mode", &r.mode}};
    for (const auto& [key, value] : outcome.values) {
        for (const auto& [name, field] : texts)
            if (key == name && value.isString())
                *field = toStd(value.toString());
        if (key == "links" && value.isArray())
            r.links = int(value.toArray().size());
    }
    rowChanged(index);
}

void DeviceListModel::rowChanged(int index) {
    Q_EMIT dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

} // namespace kvx
