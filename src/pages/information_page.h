#pragma once

#include "pages/page.h"

#include <chrono>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace kvx {

class DeviceSession;
class Prompter;
class WindowLoad;

// Tab 5: who the connected device is, its firmware version, the reboot, and the buttons of the
// backup, restore and log procedures.
class InformationPage : public Page {
    Q_OBJECT
public:
    struct RebootTiming {
        std::chrono::milliseconds pause{15000};
        std::chrono::milliseconds reconnectWindow{15000};
        std::chrono::milliseconds retryGap{250};
    };

    InformationPage(DeviceSession& session, Prompter& prompter, RebootTiming timing,
                    QWidget* parent = nullptr);
    InformationPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr)
        : InformationPage(session, prompter, RebootTiming{}, parent) {}

    void load() override;
    void reboot();
    // Where the Bluetooth name applied on this connection comes from; without one, the name of the
    // connect's discovery record shows.
    void setBluetoothNameSource(std::function<std::optional<std::string>()> source) {
        m_bluetoothName = std::move(source);
    }

private:
    void backUp();
    // False when the device refused because a Bluetooth serial connection is active; Restore then
    // stays off until the next load.
    bool restore();
    void fetchLog();
    void listCheck(WindowLoad& load);
    void showRecord(const std::string& version);
    // Keeps the UI painting (the wait window's animation) while taking no input from the operator.
    static void pause(std::chrono::milliseconds duration);

    DeviceSession& m_session;
    Prompter& m_prompter;
    RebootTiming m_timing;
    std::function<std::optional<std::string>()> m_bluetoothName;

    enum Field {
        ProductName,
        ModelCode,
        Version,
        SerialNumber,
        IpAddress,
        ControlPort,
        MacAddress,
        BtName,
        BtAddress,
        FieldCount
    };
    QLabel* m_values[FieldCount]{};
    QPushButton* m_backUp;
    QPushButton* m_restore;
    QPushButton* m_log;
};

} // namespace kvx
