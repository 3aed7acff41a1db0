#pragma once

#include "modes/entry_table.h"

#include <QDialog>

class QLineEdit;

namespace kvx {

class AddressOrNameBox;
class DeviceSession;
class Prompter;

// "Add Device": registers a Bluetooth device, by address or by name, with a data port. It checks the
// entry against the rows of the registered device table and closes with OK only once the device took it.
class AddDeviceWindow : public QDialog {
    Q_OBJECT
public:
    AddDeviceWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, QWidget* parent = nullptr);

    // The row to add after OK: the address or the name, as chosen, and the port.
    EntryRow entry() const;

private:
    void add();
    // The message for the first thing wrong with the entry; empty when it may be sent.
    QString problem() const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryRows m_rows;
    AddressOrNameBox* m_device;
    QLineEdit* m_port;
};

} // namespace kvx
