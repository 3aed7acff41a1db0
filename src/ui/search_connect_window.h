#pragma once

#include "core/discovery_socket.h"
#include "core/login_exchange.h"
#include "core/vocabulary.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;
class QItemSelection;

namespace kvx {

class DeviceLink;
class Prompter;
class Transcript;

// Finds devices, connects the chosen one and logs in. One object lives as long as the main window so
// that the connected device's record survives between openings. Its fields open empty; the devices
// that logged in lately are kept in the user's settings across runs, offered to pick from.
class SearchConnectWindow : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        // The Login window; nothing when the operator cancels it.
        std::function<std::optional<Credentials>()> askCredentials;
        // Called when a working connection is replaced, for the owner's own per-connection state.
        std::function<void()> connectionReplaced;
        std::function<void()> postReconnect;
        // With it, a "Devices..." button closes this window and hands over to the Devices window.
        std::function<void()> openDevices = {};
    };

    SearchConnectWindow(DeviceLink& link, Transcript& transcript, Prompter& prompter, Hooks hooks,
                        DiscoveryTarget target = {}, QWidget* parent = nullptr);
    ~SearchConnectWindow() override;

    // Runs the window modally from a fresh start; Accepted only after a connect and login succeeded.
    int run();
    // The next run opens with these in the address fields instead of empty ones.
    void presetAddress(const QString& ip, const QString& port);

    const DeviceRecord& deviceRecord() const { return m_record; }
    unsigned portNumber() const { return m_portNumber; }
    const Credentials& credentials() const { return m_credentials; }

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void search();
    void connectDevice();
    void receiveAndList(std::chrono::milliseconds wait);
    void listDevice(const DeviceRecord& record);
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void showDetail(const QPoint& position);
    void updateConnectEnabled();
    void takeRow(int row);
    void showRecentDevices();
    void pickRecentDevice(const QListWidgetItem* item);
    void rememberRecentDevice();

    DeviceLink& m_link;
    Transcript& m_transcript;
    Prompter& m_prompter;
    Hooks m_hooks;
    DiscoverySocket m_discovery;

    // The connected device's; it, the port number and the credentials change only when a connect and
    // its login succeeded, so a cancelled opening leaves them to the connection still in use.
    DeviceRecord m_record;
    unsigned m_portNumber = 0;
    Credentials m_credentials;
    // What the picked rows and the Connect of this opening make of the record.
    DeviceRecord m_candidate;
    QString m_presetIp;
    QString m_presetPort;

    QTreeWidget* m_list;
    QLineEdit* m_ipEdit;
    QLineEdit* m_portEdit;
    QListWidget* m_recentDevices;
    QPushButton* m_searchButton;
    QPushButton* m_connectButton;
    QPushButton* m_cancelButton;
};

// The eight lines of the detail popup, joined the way the device's own tools show them.
QString deviceDetailText(const DeviceRecord& record);

} // namespace kvx
