#pragma once

#include "app/keyring.h"
#include "app/main_window.h"
#include "core/discovery.h"
#include "core/login_exchange.h"
#include "fleet/fleet_job.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace kvx {

class DeviceListModel;
class Prompter;

struct DevicesWindowOptions {
    Prompter* prompter = nullptr;     // the real dialogs when null
    std::unique_ptr<Keyring> keyring; // the desktop's when null
    // Where Discover searches (every interface by default) and the port the devices' probes go to.
    DiscoveryTarget discoveryTarget;
    std::function<std::optional<Credentials>()> askCredentials; // the Login window when empty
    DeviceLink::Timing linkTiming;
    std::chrono::milliseconds probeWait{1000};
    // What Open gives the single-device main window; its prompter and discovery target are this
    // window's unless set.
    MainWindowOptions deviceWindow;
};

// The operator's devices in one list, with the everyday actions on a selection of them. The work runs
// on the fleet layer's threads; rows fill in as devices answer and the window stays usable throughout.
class DevicesWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DevicesWindow(DevicesWindowOptions options = {}, QWidget* parent = nullptr);
    ~DevicesWindow() override;

    // Adds the devices of an inventory in kvx100ctl's form and remembers the file; false, with the
    // reason shown, when it cannot be read.
    bool openInventory(const QString& path);
    // HOST[:PORT]; false, with the reason shown, for anything else.
    bool addDevice(const QString& text);

    DeviceListModel* model() const { return m_model; }
    QTableView* list() const { return m_list; }
    QTreeWidget* details() const { return m_details; }
    bool isBusy() const;

    // The actions, as the menu and the toolbar run them.
    void refresh();
    void backUp();
    void compareWithFile();
    void applyFile();
    void restoreFile();
    void reboot();
    void openDevice();
    void exportCsv();
    void discover();
    void cancel();

Q_SIGNALS:
    // A run over the devices (or a discovery) has ended and the window is idle again.
    void idle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class JobKind { Refresh, Backup, Compare, Check, Apply, Restore, Reboot };
    struct JobEnd {
        enum Kind { Ok, WouldChange, Failed, NotStarted };
        int row;
        Kind kind;
    };

    void buildActions();
    void buildColumnsMenu();
    void updateActions();
    // The rows the actions work on: those selected, else every row the filter shows.
    std::vector<int> chosenRows() const;
    // The window's own credentials for devices without theirs: asked once, or taken from the keyring.
    bool ensureCredentials(const std::vector<int>& rows);
    void setKeepPassword(bool keep);
    static QString keyringMissingText();
    // Starts `settings` over the rows; `done` runs when every device has ended, unless cancelled.
    void startJob(fleet::CommandSettings settings, std::vector<int> rows, fleet::DeviceWork work,
                  std::function<void()> done);
    void onDeviceFinished(int index, const fleet::DeviceOutcome& outcome);
    void onJobFinished();
    QString resultText(const fleet::DeviceOutcome& outcome) const;
    void showDetails(int row, const fleet::DeviceOutcome& outcome);
    // A run over the configuration file the operator picks; nothing while a run goes on, or when no file
    // is picked or it cannot be read.
    std::optional<fleet::CommandSettings> withChosenFile(fleet::Command command);
    void confirmApply(const fleet::CommandSettings& apply);
    void onDiscovered(const DeviceRecord& record);
    void onDiscoveryEnded(bool sent, int error);

    void restoreList();
    void saveList() const;

    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter& m_prompter;
    DevicesWindowOptions m_options;
    std::optional<Credentials> m_credentials;
    // The keyring's credentials were refused by a device: asked anew, not loaded again.
    bool m_keyringStale = false;
    // The operator asked for the keyring in an earlier run, and it is not there now.
    bool m_keyringMissing = false;
    QString m_inventory;

    DeviceListModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_list;
    QTreeWidget* m_details;
    QLineEdit* m_filter;
    QComboBox* m_filterColumn;
    QLineEdit* m_addressEdit;
    QSpinBox* m_parallel;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QAction* m_keepPassword = nullptr;
    std::vector<QAction*> m_jobActions; // off while a run goes on
    std::vector<QAction*> m_columnActions;

    std::unique_ptr<fleet::FleetJob> m_job;
    JobKind m_jobKind = JobKind::Refresh;
    std::vector<int> m_jobRows; // the job's devices, by row
    std::vector<JobEnd> m_jobEnds;
    std::function<void()> m_jobDone;
    QString m_jobFolder; // a backup's
    std::thread m_discovery;
    bool m_discovering = false;
    int m_discoveredCount = 0;
};

// A Devices window of its own, deleted when closed.
DevicesWindow* openDevicesWindow(DevicesWindowOptions options);

} // namespace kvx
