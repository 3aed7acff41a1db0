#pragma once

#include "pages/page.h"
#include "ui/window_load.h"

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;
class SpinField;

// Tab 1: the device's own Bluetooth settings, and its local Bluetooth radios with their counters.
class BluetoothPage : public Page {
    Q_OBJECT
public:
    BluetoothPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override;
    // The name the last Apply on this connection that succeeded in every step sent; the device then goes
    // by it. Nothing once the connection is replaced.
    std::optional<std::string> appliedName() const { return m_appliedName; }

private:
    bool readSettings(WindowLoad& load, bool withLinkTimeout);
    // False when the list could not be read.
    bool readLocalDevices(WindowLoad& load);
    void refresh();
    void apply();

    DeviceSession& m_session;
    Prompter& m_prompter;
    // Kept apart from the Name field, which may since hold a name typed but never applied.
    std::optional<std::string> m_appliedName;
    // Sent again when the Security list has no selected entry.
    std::string m_lastSecurityWord;
    // Every setting Apply sends was read on this connection; Refresh reads all but the link timeout,
    // which an earlier load must have read.
    ReadMark m_settingsRead;
    bool m_linkTimeoutRead = false;

    QLineEdit* m_name;
    SpinField* m_maxDt;
    SpinField* m_linkTimeout;
    QComboBox* m_security;
    QLineEdit* m_pin;
    QCheckBox* m_pairable;
    QCheckBox* m_connectable;
    QCheckBox* m_discoverable;
    QTreeWidget* m_localDevices;
};

} // namespace kvx
