#pragma once

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

class QTreeWidget;

namespace kvx {

class DeviceSession;

// The remote address (the fourth "|" field) of each connection line of a "List" reply, as sent. The list
// ends at the "+OK" line, at a line without its CR LF, at a refusal or at the end of the reply.
std::vector<std::string> connectedAddresses(std::string_view reply);

// "SD List": picks the address of one of the device's connected Bluetooth devices instead of typing it.
// Made for one pick; it reads the list as it is created.
class DevicePicker : public QDialog {
    Q_OBJECT
public:
    explicit DevicePicker(DeviceSession& session, QWidget* parent = nullptr);

    // The address of the row chosen with Apply; empty after Cancel or when no row was selected.
    QString chosenAddress() const { return m_chosen; }

private:
    void fill();
    void apply();

    DeviceSession& m_session;
    QTreeWidget* m_list;
    QString m_chosen;
};

} // namespace kvx
