#pragma once

#include "core/serial_settings.h"
#include "ui/window_load.h"

#include <QDialog>

class QComboBox;

namespace kvx {

class DeviceSession;
class Prompter;

// "Serial Port Setup": the serial line of RS232 mode. Made for one opening; it reads the settings as it is
// created. OK ends it with OK even when the device refused the setting, so that a change to RS232 mode
// goes on; only Cancel ends it with Cancel. A baud rate that could not be read shows as none, and OK then
// waits until the operator picks one.
class SerialPortWindow : public QDialog {
    Q_OBJECT
public:
    SerialPortWindow(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

private:
    void load();
    void showLine(const SerialLine& line);
    SerialLine lineShown() const;
    void ok();

    DeviceSession& m_session;
    Prompter& m_prompter;
    // The lists start on settings the device never gave.
    ReadMark m_lineRead;

    QComboBox* m_baud;
    QComboBox* m_dataBits;
    QComboBox* m_parity;
    QComboBox* m_stopBits;
    QComboBox* m_flow;
};

} // namespace kvx
