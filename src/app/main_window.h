#pragma once

#include "core/connection.h"
#include "core/discovery.h"
#include "core/login_exchange.h"
#include "core/transcript_file.h"
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
    // Where the session's transcript file is kept (main() gives the user's state folder); without one
    // the session is kept for "Save Transcript..." only, and nothing is written behind the user's back.
    QString transcriptFolder;
    // The address the first search window opens with, for the Devices window's Open.
    QString presetAddress;
    QString presetPort;
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
    // The reboot drops the connection: the pages' values belong to the old one from here on.
    void closeConnection() override;

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
    const TranscriptFile& transcriptFile() const { return m_transcriptFile; }

    void showAbout();
    // The session so far, into a file the operator chooses.
    void saveTranscript();

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
    // A tab chosen by a click or by the keyboard.
    void onTabChosen();
    void queueTabZeroRefresh();
    void handleReconnect();
    void handleRelogin();
    void handleClose();
    void onPeerClosed();
    // Every page, and every window a page keeps open, lets go of what it read from the old connection.
    void notifyConnectionReplaced();
    // A notice that already says why the action under way fails. The page's own message about the
    // same failure (a time-out, mostly) would stack a second, misleading box over it, so the pages'
    // messages go unshown until the action has returned to the event loop; after the device closed
    // the connection, for good.
    void explainFailure(const QString& text);
    // Requests, tab refreshes, the disconnect notice and the close act on the connection or on the
    // windows a transaction runs in: one that comes due while a transaction waits is held until it ends.
    void whenIdle(std::function<void()> work);
    void post(std::function<void()> work);
    void showWait(std::string_view command, std::chrono::milliseconds waited);
    // After a transaction or a login: clears the wait's words and runs what was held meanwhile.
    void endWait();

    class PagePrompter;

    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter& m_prompter;
    Options m_options;
    // What the pages are given as their Prompter (see explainFailure()).
    std::unique_ptr<PagePrompter> m_pagePrompter;
    TranscriptFile m_transcriptFile;
    CloseWatch m_closeWatch;
    ConsolePane* m_console;
    QTabWidget* m_tabs;
    // Between the pages and the console pane; its place, like the window's size, outlives the run.
    QSplitter* m_splitter;
    SearchConnectWindow* m_search;
    PageSet m_pages;

    int m_rememberedTab = 0;
    bool m_closing = false;
    // The device closed the connection; the window is on its way out.
    bool m_disconnected = false;
    bool m_pageMessagesDropped = false;
    std::vector<std::function<void()>> m_held;
    // The whole seconds of the running wait that the status bar shows; 0 while it shows none.
    long long m_shownWaitSeconds = 0;
};

} // namespace kvx
