#pragma once

#include "pages/page.h"

#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;
class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;

// Tab 1: the device's own Bluetooth settings, and its local Bluetooth radios with their counters.
class BluetoothPage : public Page {
    Q_OBJECT
public:
    BluetoothPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override;
    // The name the last Apply of this run that succeeded in every step sent; the device then goes by it.
    std::optional<std::string> appliedName() const { return m_appliedName; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A number field whose arrows step inside a range; typed text is kept as typed, even out of range.
    struct UpDown {
        QLineEdit* field = nullptr;
        QToolButton* up = nullptr;
        QToolButton* down = nullptr;
        int low = 0;
        int high = 0;
        int position = 0;
    };
    UpDown makeUpDown(const QString& name);
    static void setRange(UpDown& upDown, int low, int high);
    static void step(UpDown& upDown, int delta);

    // The normalised reply of a query that passed its test; otherwise its message was shown.
    std::optional<std::string> query(std::string_view command, int wait, const QString& timeoutText,
                                     const QString& failText);
    bool set(const std::string& command, int wait, const QString& timeoutText, const QString& failText);
    bool readSettings(bool withLinkTimeout);
    void readLocalDevices();
    void refresh();
    void apply();

    DeviceSession& m_session;
    Prompter& m_prompter;
    // Kept apart from the Name field, which may since hold a name typed but never applied.
    std::optional<std::string> m_appliedName;
    // Sent again when the Security list has no selected entry.
    std::string m_lastSecurityWord;

    QLineEdit* m_name;
    UpDown m_maxDt;
    UpDown m_linkTimeout;
    QComboBox* m_security;
    QLineEdit* m_pin;
    QCheckBox* m_pairable;
    QCheckBox* m_connectable;
    QCheckBox* m_discoverable;
    QTreeWidget* m_localDevices;
};

} // namespace kvx
