#pragma once

#include "core/client_mode_replies.h"
#include "ui/window_load.h"

#include <QDialog>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;

namespace kvx {

class DeviceSession;
class EntryTable;
class IpAddressEdit;
class Prompter;

// The settings of Client mode: the host the device connects to, the re-connect option and the interval
// of its connection attempts, all sent by Apply, which closes the window when the device took them; and
// the server table, each entry added, modified or deleted on the device at once. One object serves every
// opening, and each opening reads the device again.
class ClientModeWindow : public QDialog {
    Q_OBJECT
public:
    ClientModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the device, then runs the window modally; it opens whatever the reading found.
    int exec() override;

private:
    // The values the last load read, which Refresh puts back.
    struct Loaded {
        std::optional<HostAddress> host;
        std::string interval = "3000"; // as the device wrote it
        QString reconnect;
    };

    void load();
    void loadServersAndHost(WindowLoad& load);
    void refresh();
    void apply();

    DeviceSession& m_session;
    Prompter& m_prompter;
    Loaded m_loaded;
    // The host, the interval and the option, which Apply sends.
    ReadMark m_settingsRead;
    IpAddressEdit* m_host;
    QLineEdit* m_port;
    QCheckBox* m_reconnect;
    QLineEdit* m_interval;
    EntryTable* m_table;
};

} // namespace kvx
