#pragma once

#include "ui/close_watch.h"
#include "core/device_link.h"
#include "core/device_session.h"
#include "core/discovery.h"
#include "core/login_exchange.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class QTabWidget;

namespace kvx {

class ConsolePane;
class Page;
class Prompter;
class SearchConnectWindow;
class TimedPage;

// The six tab pages, in tab order.
struct PageSet {
    Page* operationMode = nullptr;
    Page* bluetooth = nullptr;
    TimedPage* connections = nullptr;
    TimedPage* neighborhoods = nullptr;
    Page* repeater = nullptr;
    Page* information = nullptr;

    std::array<Page*, 6> inTabOrder() const;
};

using PageFactory = std::function<PageSet(DeviceSession&, Prompter&, QWidget* parent)>;

struct MainWindowOptions {
    Prompter* prompter = nullptr; // the real dialogs when null
    DiscoveryTarget discoveryTarget;
    PageFactory pageFactory;                                    // the product's pages when empty
    std::function<std::optional<Credentials>()> askCredentials; // the Login window when empty
    DeviceLink::Timing linkTiming;
};

// Owns the connection, the console pane, the search and connect window and the six pages, and carries
// out the requests the pages post.
class MainWindow : public QMainWindow, public DeviceSession {
    Q_OBJECT
public:
    using Options = MainWindowOptions;

    static constexpr int kTabCount = 6;

    explicit MainWindow(Options options = {});
    ~MainWindow() override;

    // Connects and builds the pages. False when the operator cancelled the first search, in which case
    // the window is to be closed without being shown.
    bool initialise();

    // DeviceSession
    std::string transact(std::string_view command, int waitSeconds) override;
    bool inTransaction() const override { return m_inTransaction || m_rebooting; }
    bool supportsCommand(std::string_view keyword) const override;
    VersionCode versionCode() const override { return m_versionCode; }
    void setVersionCode(VersionCode code) override { m_versionCode = code; }
    const DeviceRecord& deviceRecord() const override;
    void runSearchWindow() override;
    void closeConnection() override;
    Reopen reopenConnection(std::chrono::milliseconds bound) override;
    void postReconnect() override;
    void postRelogin() override;
    void postClose() override;

    const std::string& capabilityLine() const { return m_capabilityLine; }
    int rememberedTab() const { return m_rememberedTab; }
    const PageSet& pages() const { return m_pages; }
    QTabWidget* tabs() const { return m_tabs; }
    ConsolePane* console() const { return m_console; }
    SearchConnectWindow* searchWindow() const { return m_search; }
    DeviceLink& link() { return m_link; }

    void showAbout();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void buildPages();
    // The search and connect window; a login through it ends a reboot's hold on the page timers.
    int runSearch();
    void readCapabilityLine();
    void refreshTitle();
    void onTabClicked();
    void queueTabZeroRefresh();
    void handleReconnect();
    void handleRelogin();
    void handleClose();
    void onPeerClosed();

    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter& m_prompter;
    Options m_options;
    DeviceLink m_link;
    CloseWatch m_closeWatch;
    ConsolePane* m_console;
    QTabWidget* m_tabs;
    SearchConnectWindow* m_search;
    PageSet m_pages;

    std::string m_capabilityLine;
    VersionCode m_versionCode = kVersionCodeUnknown;
    int m_rememberedTab = 0;
    bool m_inTransaction = false;
    // From the reboot dropping the connection until a login on a new one.
    bool m_rebooting = false;
    bool m_closing = false;
};

} // namespace kvx
