#pragma once

#include "modes/entry_table.h"

#include <QDialog>

class QLineEdit;

namespace kvx {

class AddressOrNameBox;
class DeviceSession;
class IpAddressEdit;
class Prompter;

// "Add Server": pairs a Bluetooth device, by address or by name, with the IP address and port of a
// server. It checks the entry against the rows of the server table and closes with OK only once the
// device took it.
class AddServerWindow : public QDialog {
    Q_OBJECT
public:
    AddServerWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, QWidget* parent = nullptr);

    // The row to add after OK: the address or the name, as chosen, and "IP:Port".
    EntryRow entry() const;

private:
    void add();
    QString problem() const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryRows m_rows;
    AddressOrNameBox* m_device;
    IpAddressEdit* m_address;
    QLineEdit* m_port;
};

} // namespace kvx
