#pragma once

#include "modes/entry_table.h"

#include <QDialog>

class QLineEdit;

namespace kvx {

class DeviceSession;
class Prompter;

// "Modify Device": changes the address or name and the port of one row of the registered device table.
// The device has no command for a change, so the old entry is released and the new one bound; it closes
// with OK only when both went through.
class ModifyDeviceWindow : public QDialog {
    Q_OBJECT
public:
    // `modifiedRow` must be a row of `rows`; its values are the old entry and the starting values.
    ModifyDeviceWindow(DeviceSession& session, Prompter& prompter, EntryRows rows, int modifiedRow,
                       QWidget* parent = nullptr);

    // The new values after OK.
    EntryRow entry() const;

private:
    void modify();
    QString problem() const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    const EntryRows m_rows;
    const int m_modifiedRow;
    QLineEdit* m_device;
    QLineEdit* m_port;
};

} // namespace kvx
