#pragma once

#include "pages/mode_window_dispatch.h"
#include "pages/page.h"

#include <array>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kvx {

class DeviceSession;
class Prompter;

// Tab 0: the device's operation mode, the change to another one, and the settings window of the
// current mode.
// The settings windows it owns live as long as the page; when the connection is replaced they close
// (see Page::connectionReplaced), so none of them can apply one device's values to another.
class OperationModePage : public Page {
    Q_OBJECT
public:
    OperationModePage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override {
        Page::connectionReplaced();
        m_replaced = true;
    }
    // The mode last read from the device or last applied; -1 before the first successful load.
    int modeIndex() const { return m_modeIndex; }
    ModeWindowDispatch& modeWindows() { return m_windows; }

private:
    void setMode(int index);
    int radioSelection() const;
    void apply();
    void openAdvancedConfiguration();

    DeviceSession& m_session;
    Prompter& m_prompter;
    ModeWindowDispatch m_windows;
    int m_modeIndex = -1;
    bool m_replaced = false; // since the last search from this page

    QLabel* m_modeName;
    QButtonGroup* m_radios;
    std::array<QRadioButton*, kModeCount> m_radioButtons{};
};

} // namespace kvx
