#pragma once

#include <QDialog>

namespace kvx {

class DeviceSession;
class MaskedEdit;
class Prompter;

// "Repeater Mode": the Bluetooth address of the station a repeater relays towards, set before the change
// to Repeater mode. Made for one opening; it reads the address as it is created. It ends with OK only once
// the device took the address.
class RepeaterStationWindow : public QDialog {
    Q_OBJECT
public:
    RepeaterStationWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

private:
    void load();
    void ok();

    DeviceSession& m_session;
    Prompter& m_prompter;
    MaskedEdit* m_address;
};

} // namespace kvx
