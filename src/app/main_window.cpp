#include "main_window.h"

#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/login_window.h"
#include "app/product_pages.h"
#include "ui/busy_cursor.h"
#include "ui/console_pane.h"
#include "ui/dialog_prompter.h"
#include "core/qt_text.h"
#include "ui/search_connect_window.h"
#include "pages/page.h"

#include <QApplication>
#include <QMenuBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>

namespace kvx {
namespace {

// Two blanks either side, as the device's own tools lay them out.
const char* const kTabCaptions[MainWindow::kTabCount] = {
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Operation Mode  "),
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Bluetooth  "),
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Connections  "),
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Neighborhoods  "),
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Repeater  "),
    QT_TRANSLATE_NOOP("kvx::MainWindow", "  Lumeno-KVX100 Manager Information  "),
};

constexpr int kConnectionsTab = 2;

} // namespace

std::array<Page*, 6> PageSet::inTabOrder() const {
    return {operationMode, bluetooth, connections, neighborhoods, repeater, information};
}

MainWindow::MainWindow(Options options)
    : m_ownPrompter(options.prompter ? nullptr : std::make_unique<DialogPrompter>())
    , m_prompter(options.prompter ? *options.prompter : *m_ownPrompter)
    , m_options(std::move(options))
    , m_link(m_options.linkTiming)
    , m_closeWatch(m_link)
    , m_console(new ConsolePane)
    , m_tabs(new QTabWidget) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Lumeno-KVX100 Manager"));
    setWindowIcon(applicationIcon());
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setAccessibleName(tr("Pages"));

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_console);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({440, 200});
    setCentralWidget(splitter);
    // Wide enough for all six tab captions side by side.
    resize(940, 680);

    auto askCredentials = m_options.askCredentials;
    if (!askCredentials)
        askCredentials = [this] {
            return LoginWindow::ask(m_search);
        };
    SearchConnectWindow::Hooks hooks{
        std::move(askCredentials),
        [this] {
            for (Page* page : m_pages.inTabOrder()) {
                if (page)
                    page->connectionReplaced();
            }
        },
        [this] { postReconnect(); },
    };
    m_search = new SearchConnectWindow(m_link, *m_console, m_prompter, std::move(hooks),
                                       m_options.discoveryTarget, this);

    connect(&m_closeWatch, &CloseWatch::peerClosed, this, &MainWindow::onPeerClosed);
    connect(m_tabs->tabBar(), &QTabBar::tabBarClicked, this, [this] {
        // The click arrives before the tab strip moves its selection; look at the selection after it.
        QMetaObject::invokeMethod(this, &MainWindow::onTabClicked, Qt::QueuedConnection);
    });
    // QTabWidget shows the chosen page and hides the others on its own selection change; that alone
    // must happen when a tab is chosen by keyboard, so nothing else listens to it.
    buildMenu();
}

MainWindow::~MainWindow() {
    m_closeWatch.stop();
    m_link.close();
}

void MainWindow::buildMenu() {
    const QString aboutText = tr("Lumeno-KVX100 Manager ver1.0.2 Info(&A)...");
    if (aboutText.isEmpty())
        return;
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = help->addAction(aboutText);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::showAbout() {
    AboutBox box(this);
    box.exec();
}

bool MainWindow::initialise() {
    if (!m_link.hasSocket() && !m_link.create()) {
        m_prompter.message(tr("The application create Fail. Try again."));
        return true;
    }
    if (runSearch() != QDialog::Accepted)
        return false;
    m_closeWatch.start();
    buildPages();
    m_pages.information->load();
    m_pages.operationMode->load();
    readCapabilityLine();
    refreshTitle();
    activateWindow();
    return true;
}

void MainWindow::buildPages() {
    const PageFactory factory = m_options.pageFactory ? m_options.pageFactory : createProductPages;
    m_pages = factory(*this, m_prompter, m_tabs);
    const std::array<Page*, 6> pages = m_pages.inTabOrder();
    const QSignalBlocker blocker(m_tabs);
    for (int i = 0; i < kTabCount; ++i)
        m_tabs->addTab(pages[i], tr(kTabCaptions[i]));
    m_tabs->setCurrentIndex(0);
    m_rememberedTab = 0;
}

void MainWindow::readCapabilityLine() {
    m_capabilityLine = capabilityLineFrom(transact("help\r\n", 2));
}

bool MainWindow::supportsCommand(std::string_view keyword) const {
    return capabilityLineSupports(m_capabilityLine, keyword);
}

const DeviceRecord& MainWindow::deviceRecord() const {
    return m_search->deviceRecord();
}

std::string MainWindow::transact(std::string_view command, int waitSeconds) {
    Q_ASSERT(!m_inTransaction);
    const BusyCursor busy;
    m_inTransaction = true;
    std::string reply = m_link.transact(command, waitSeconds, *m_console);
    m_inTransaction = false;
    return reply;
}

int MainWindow::runSearch() {
    const int result = m_search->run();
    if (result == QDialog::Accepted)
        m_rebooting = false;
    return result;
}

void MainWindow::runSearchWindow() {
    runSearch();
    refreshTitle();
}

void MainWindow::closeConnection() {
    m_rebooting = true;
    m_link.close();
}

DeviceSession::Reopen MainWindow::reopenConnection(std::chrono::milliseconds bound) {
    if (!m_link.create())
        return Reopen::CreateFailed;
    const BusyCursor busy;
    return m_link.connectTo(m_search->ipText(), m_search->portNumber(), bound) ? Reopen::Connected
                                                                               : Reopen::ConnectFailed;
}

void MainWindow::showEvent(QShowEvent* event) {
    refreshTitle();
    QMainWindow::showEvent(event);
}

void MainWindow::refreshTitle() {
    const DeviceRecord& record = deviceRecord();
    setWindowTitle(tr("Lumeno-KVX100 Manager : ") + fromStd(record.btName) + QStringLiteral(" - ") +
                   fromStd(record.ipAddress));
}

void MainWindow::onTabClicked() {
    const int index = m_tabs->currentIndex();
    if (index < 0 || index == m_rememberedTab)
        return;
    m_rememberedTab = index;
    for (TimedPage* page : {m_pages.connections, m_pages.neighborhoods}) {
        if (page && page->refreshTimerRunning())
            page->stopRefreshTimer();
    }
    Page* page = m_pages.inTabOrder()[static_cast<std::size_t>(index)];
    if (!page)
        return;
    if (index == kConnectionsTab)
        m_pages.connections->startRefreshTimer();
    page->load();
}

void MainWindow::queueTabZeroRefresh() {
    m_tabs->setCurrentIndex(0);
    QMetaObject::invokeMethod(this, &MainWindow::onTabClicked, Qt::QueuedConnection);
}

void MainWindow::postReconnect() {
    QMetaObject::invokeMethod(this, &MainWindow::handleReconnect, Qt::QueuedConnection);
}

void MainWindow::postRelogin() {
    QMetaObject::invokeMethod(this, &MainWindow::handleRelogin, Qt::QueuedConnection);
}

void MainWindow::postClose() {
    QMetaObject::invokeMethod(this, &MainWindow::handleClose, Qt::QueuedConnection);
}

void MainWindow::handleReconnect() {
    // The login exchange posts this from inside the search window's own Connect; opening the window
    // a second time over itself would help nobody.
    if (m_closing || m_search->isVisible())
        return;
    if (runSearch() != QDialog::Accepted) {
        postClose();
        return;
    }
    refreshTitle();
    queueTabZeroRefresh();
    activateWindow();
}

void MainWindow::handleRelogin() {
    if (m_closing)
        return;
    m_console->clear();
    {
        const BusyCursor busy;
        runLoginExchange(
            m_link, *m_console, m_prompter, [this] { postReconnect(); }, m_search->credentials());
    }
    m_rebooting = false;
    queueTabZeroRefresh();
}

void MainWindow::handleClose() {
    if (m_closing)
        return;
    m_closing = true;
    m_closeWatch.stop();
    // Windows still open over this one would keep their own event loops running after it closed.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible())
            dialog->reject();
    }
    close();
}

void MainWindow::onPeerClosed() {
    if (m_closing)
        return;
    m_prompter.message(tr("Lumeno-KVX has been disconnected."));
    postClose();
}

} // namespace kvx
