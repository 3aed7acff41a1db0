#pragma once

#include "ui/window_load.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace kvx {

class DeviceSession;
class EntryTable;
class Prompter;

// The settings of Server mode: the default data port, whether TCP sockets are kept, the keep-alive
// timeout, and the registered devices, each added, modified or deleted on the device at once. It has no
// OK or Cancel; the close box ends it. One object serves every opening, and each opening reads the
// device again.
class ServerModeWindow : public QDialog {
    Q_OBJECT
public:
    ServerModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the device, then runs the window modally; it opens whatever the reading found.
    int exec() override;

private:
    void load();
    // False when the list could not be read.
    bool loadTable(WindowLoad& load);
    void apply();

    DeviceSession& m_session;
    Prompter& m_prompter;
    // The port and the two options, which Apply sends.
    ReadMark m_settingsRead;
    QLineEdit* m_port;
    QCheckBox* m_keepSocket;
    QLineEdit* m_keepAlive;
    EntryTable* m_table;
};

} // namespace kvx
