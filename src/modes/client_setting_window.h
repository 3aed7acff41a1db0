#pragma once

#include <QDialog>

class QLineEdit;

namespace kvx {

class DeviceSession;
class IpAddressEdit;
class Prompter;

// "Client Setting": the host that the device is to connect to, asked for before a change to Client
// mode; the change goes ahead only when this closes with OK, which it does once the device took the
// host. One object serves every opening, and each opening reads the host from the device again.
class ClientSettingWindow : public QDialog {
    Q_OBJECT
public:
    ClientSettingWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the device, then runs the window modally; it opens whatever the reading found.
    int exec() override;

private:
    void load();
    void ok();

    DeviceSession& m_session;
    Prompter& m_prompter;
    IpAddressEdit* m_host;
    QLineEdit* m_port;
};

} // namespace kvx
