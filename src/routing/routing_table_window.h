#pragma once

#include "core/route_groups.h"
#include "ui/window_load.h"

#include <QDialog>
#include <optional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;

// "Serial Hub Mode": the device's routes grouped by From address. Add, Edit and Del change only the list;
// Apply rebuilds the device's table from it and ends the window, Clear resets the device's table at once.
// Made for one opening; it reads the routes as it is created.
class RoutingTableWindow : public QDialog {
    Q_OBJECT
public:
    RoutingTableWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

private:
    void load();
    // Rebuilds the list from the rows and selects `selected` when it is still a row.
    void showRows(std::optional<std::size_t> selected);
    void updateButtons();
    std::optional<std::size_t> selectedRow() const;
    void add();
    void edit();
    void remove();
    void apply();
    void clear();
    void resetDeviceTable();

    DeviceSession& m_session;
    Prompter& m_prompter;
    QTreeWidget* m_list;
    QPushButton* m_editButton;
    QPushButton* m_delButton;
    std::vector<RouteRow> m_rows;
    // Apply replaces the device's whole table with the rows: a list that was never filled from it
    // would drop every route it holds.
    ReadMark m_routesRead;
};

} // namespace kvx
