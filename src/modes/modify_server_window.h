#pragma once

#include "modes/entry_table.h"

#include <QDialog>

class QLineEdit;

namespace kvx {

class DeviceSession;
class IpAddressEdit;
class Prompter;

// "Modify Server": changes the BDADDR/Name, the IP address and the port of one row of the server table.
// The old entry is deleted and the new one added; it closes with OK only when both went through.
class ModifyServerWindow : public QDialog {
    Q_OBJECT
public:
    // `modifiedRow` must be a row of `rows`; its values are the old entry and the starting values.
    ModifyServerWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, int modifiedRow,
                       QWidget* parent = nullptr);

    // The new values after OK, the endpoint as "IP:Port".
    EntryRow entry() const;

private:
    void modify();
    QString problem() const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryRows m_rows;
    const int m_modifiedRow;
    // The row as it stood when Modify was pressed, its address written out again from its octets.
    const EntryRow m_old;
    QLineEdit* m_device;
    IpAddressEdit* m_address;
    QLineEdit* m_port;
};

} // namespace kvx
