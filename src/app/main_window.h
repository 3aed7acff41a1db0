#pragma once

#include "core/connection.h"
#include "core/discovery.h"
#include "core/login_exchange.h"
#include "ui/close_watch.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QSplitter;
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

// The connection the pages share, echoed into its console pane; owns the search and connect window and
// the six pages, and carries out the requests the pages post.
class MainWindow : public QMainWindow, public Connection, public DeviceSession {
    Q_OBJECT
public:
    using Options = MainWindowOptions;

    static constexpr int kTabCount = 6;

    explicit MainWindow(Options options = {});
    ~MainWindow() override;

    // Connects and builds the pages. False when the operator cancelled the first search, in which case
    // the window is to be closed without being shown.
    bool initialise();

    // The connection's waits, under the wait cursor; the window keeps painting and shows the wait while
    // input stays blocked.
    std::string transact(std::string_view command, int waitSeconds) override;
    Reopen reopenConnection(std::chrono::milliseconds bound) override;

    // SessionRequests
    void runSearchWindow() override;
    void postReconnect() override;
    void postRelogin() override;
    void postClose() override;

    int rememberedTab() const { return m_rememberedTab; }
    const PageSet& pages() const { return m_pages; }
    QTabWidget* tabs() const { return m_tabs; }
    ConsolePane* console() const { return m_console; }
    SearchConnectWindow* searchWindow() const { return m_search; }

    void showAbout();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The console pane is made first: the connection echoes into it.
    MainWindow(Options options, ConsolePane* console);
    void buildMenu();
    void buildPages();
    // The search and connect window; a login through it ends a reboot's hold on the page timers.
    int runSearch();
    void refreshTitle();
    void onTabClicked();
    void queueTabZeroRefresh();
    void handleReconnect();
    void handleRelogin();
    void handleClose();
    void onPeerClosed();
    // Requests, tab refreshes, the disconnect notice and the close act on the connection or on the
    // windows a transaction runs in: one that comes due while a transaction waits is held until it ends.
    void whenIdle(std::function<void()> work);
    void post(std::function<void()> work);
    void showWait(std::string_view command, std::chrono::milliseconds waited);
    // After a transaction or a login: clears the wait's words and runs what was held meanwhile.
    void endWait();

    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter& m_prompter;
    Options m_options;
    CloseWatch m_closeWatch;
    ConsolePane* m_console;
    QTabWidget* m_tabs;
    // Between the pages and the console pane; its place, like the window's size, outlives the run.
    QSplitter* m_splitter;
    SearchConnectWindow* m_search;
    PageSet m_pages;

    int m_rememberedTab = 0;
    bool m_closing = false;
    std::vector<std::function<void()>> m_held;
    // The whole seconds of the running wait that the status bar shows; 0 while it shows none.
    long long m_shownWaitSeconds = 0;
};

} // namespace kvx
