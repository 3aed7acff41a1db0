#pragma once

#include "pages/page.h"
#include "ui/window_load.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;

// Tab 3: the device's periodic inquiry, started and stopped here, and the neighbours it found, polled
// every two seconds while it runs.
class NeighborhoodsPage : public TimedPage {
    Q_OBJECT
public:
    NeighborhoodsPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override;

protected:
    void refreshTick() override;

private:
    void start();
    void stop();
    void showRunning(bool running);

    DeviceSession& m_session;
    Prompter& m_prompter;
    QLineEdit* m_interval;
    QLineEdit* m_length;
    QComboBox* m_accessCode;
    QPushButton* m_start;
    QPushButton* m_stop;
    QTreeWidget* m_list;
    // Firmware without periodic inquiry was found; the page stays disabled from then on.
    bool m_unsupported = false;
    // Start sends the interval, length and access code, which the load shows.
    ReadMark m_settingsRead;
};

} // namespace kvx
