#include "main_window.h"

#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/devices_window.h"
#include "app/login_window.h"
#include "app/product_pages.h"
#include "core/device_text.h"
#include "core/file_io.h"
#include "core/qt_text.h"
#include "pages/page.h"
#include "ui/busy_cursor.h"
#include "ui/console_pane.h"
#include "ui/dialog_prompter.h"
#include "ui/search_connect_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <kvx_version.h>

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

const QLatin1String kSizeKey("mainWindow/size");
const QLatin1String kSplitterKey("mainWindow/splitter");

// The Devices window, with this window's dialogs, discovery and login; its Open makes windows like this.
void openDevices(const MainWindowOptions& options) {
    DevicesWindowOptions devices;
    devices.prompter = options.prompter;
    devices.discoveryTarget = options.discoveryTarget;
    devices.askCredentials = options.askCredentials;
    devices.linkTiming = options.linkTiming;
    devices.deviceWindow = options;
    openDevicesWindow(std::move(devices));
}

} // namespace

std::array<Page*, 6> PageSet::inTabOrder() const {
    return {operationMode, bluetooth, connections, neighborhoods, repeater, information};
}

class MainWindow::PagePrompter : public Prompter {
public:
    explicit PagePrompter(MainWindow& window)
        : m_window(window) {}

    void message(const QString& text) override {
        if (!m_window.m_pageMessagesDropped)
            m_window.m_prompter.message(text);
    }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override {
        return m_window.m_prompter.askYesNo(caption, text, icon);
    }
    QString openFileName(const QString& filter, const QString& defaultExtension) override {
        return m_window.m_prompter.openFileName(filter, defaultExtension);
    }
    QString saveFileName(const QString& filter, const QString& defaultName,
                         const QString& defaultExtension) override {
        return m_window.m_prompter.saveFileName(filter, defaultName, defaultExtension);
    }
    bool openInViewer(const QString& path) override { return m_window.m_prompter.openInViewer(path); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(Options options)
    : MainWindow(std::move(options), new ConsolePane) {}

MainWindow::MainWindow(Options options, ConsolePane* console)
    : Connection(options.linkTiming, *console)
    , m_ownPrompter(options.prompter ? nullptr : std::make_unique<DialogPrompter>())
    , m_prompter(options.prompter ? *options.prompter : *m_ownPrompter)
    , m_options(std::move(options))
    , m_pagePrompter(std::make_unique<PagePrompter>(*this))
    , m_transcriptFile(m_options.transcriptFolder)
    , m_closeWatch(link())
    , m_console(console)
    , m_tabs(new QTabWidget)
    , m_splitter(new QSplitter(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Lumeno-KVX100 Manager"));
    setWindowIcon(applicationIcon());
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setAccessibleName(tr("Pages"));

    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_console);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({440, 200});
    setCentralWidget(m_splitter);
    // Wide enough for all six tab captions side by side.
    resize(940, 680);
    // The size and split the operator left the last run with; the ones above are for a first start.
    const QSettings settings;
    if (const QSize size = settings.value(kSizeKey).toSize(); size.isValid())
        resize(size);
    m_splitter->restoreState(settings.value(kSplitterKey).toByteArray());

    auto askCredentials = m_options.askCredentials;
    if (!askCredentials)
        askCredentials = [this] {
            return LoginWindow::ask(m_search);
        };
    SearchConnectWindow::Hooks hooks{
        std::move(askCredentials),
        [this] { notifyConnectionReplaced(); },
        [this] { postReconnect(); },
        [this] { openDevices(m_options); },
    };
    m_search = new SearchConnectWindow(link(), *m_console, m_prompter, std::move(hooks),
                                       m_options.discoveryTarget, this);

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    m_console->keepIn(&m_transcriptFile);
    if (!m_options.transcriptFolder.isEmpty() && !m_transcriptFile.open()) {
        constexpr int kShownFor = 15000;
        statusBar()->showMessage(tr("The transcript is not kept in a file: %1").arg(m_transcriptFile.error()),
                                 kShownFor);
    }
    setWaitHook(
        [this](std::string_view command, std::chrono::milliseconds waited) { showWait(command, waited); });

    connect(&m_closeWatch, &CloseWatch::peerClosed, this, [this] { whenIdle([this] { onPeerClosed(); }); });
    // A tab chosen by keyboard (Ctrl+Tab, Ctrl+PgDown, the arrows on the tab strip) is refreshed as a
    // clicked one is. Shown without its load, a page showed values it never read on this visit, which
    // its Apply then wrote back, and the Connections polling went on behind another page. A click moves
    // the selection as well; the remembered tab makes any second notice of one choice do nothing.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { post([this] { onTabChosen(); }); });
    buildMenu();
}

MainWindow::~MainWindow() {
    m_console->keepIn(nullptr);
    QSettings settings;
    settings.setValue(kSizeKey, size());
    settings.setValue(kSplitterKey, m_splitter->saveState());
    m_closeWatch.stop();
    link().close();
}

void MainWindow::buildMenu() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* save = file->addAction(tr("Save Transcript..."));
    save->setObjectName(QStringLiteral("saveTranscriptAction"));
    connect(save, &QAction::triggered, this, &MainWindow::saveTranscript);
    QAction* devices = file->addAction(tr("Devices..."));
    devices->setObjectName(QStringLiteral("devicesAction"));
    connect(devices, &QAction::triggered, this, [this] { openDevices(m_options); });

    const QString aboutText = tr("Lumeno-KVX100 Manager ver%1 Info(&A)...").arg(fromStd(kVersion));
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

void MainWindow::saveTranscript() {
    const QString name = QStringLiteral("kvx100-transcript-%1.txt")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path =
        m_prompter.saveFileName(tr("Text Files(*.txt);;All Files(*.*)"), name, QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!replaceFile(path, m_transcriptFile.session(), error))
        m_prompter.message(tr("The transcript was not saved.") + u'\n' + error);
}

bool MainWindow::initialise() {
    if (!link().hasSocket() && !link().create()) {
        m_prompter.message(tr("The application create Fail. Try again."));
        return true;
    }
    if (!m_options.presetAddress.isEmpty())
        m_search->presetAddress(m_options.presetAddress, m_options.presetPort);
    if (runSearch() != QDialog::Accepted)
        return false;
    m_closeWatch.start();
    buildPages();
    m_pages.information->load();
    m_pages.operationMode->load();
    readCapabilities();
    refreshTitle();
    activateWindow();
    return true;
}

void MainWindow::buildPages() {
    const PageFactory factory = m_options.pageFactory ? m_options.pageFactory : createProductPages;
    m_pages = factory(*this, *m_pagePrompter, m_tabs);
    const std::array<Page*, 6> pages = m_pages.inTabOrder();
    const QSignalBlocker blocker(m_tabs);
    for (int i = 0; i < kTabCount; ++i) {
        m_tabs->addTab(pages[i], tr(kTabCaptions[i]));
        // The blanks that space the caption out are not part of the tab's name.
        m_tabs->tabBar()->setAccessibleTabName(i, tr(kTabCaptions[i]).trimmed());
    }
    m_tabs->setCurrentIndex(0);
    m_rememberedTab = 0;
}

std::string MainWindow::transact(std::string_view command, int waitSeconds) {
    // Nothing is sent without a connection (a Connect failed after dropping the one in use): the
    // operator is told so at once, not by a time-out that blames the device.
    if (m_disconnected || !link().isConnected()) {
        if (!m_pageMessagesDropped)
            explainFailure(tr("Lumeno-KVX is not connected. Search and connect to a device."));
        return {};
    }
    std::string reply;
    {
        const BusyCursor busy;
        const InputHold hold;
        reply = Connection::transact(command, waitSeconds);
    }
    endWait();
    // A reply the device's close cut short or left out: the disconnect notice says what happened, where
    // the caller's time-out would say it less well, with the notice stacked over it. A whole reply (the
    // reboot's "+OK" before the device goes away) is the caller's to act on first.
    if (!(containsToken(reply) && reply.ends_with('\n')) && link().peerHasClosed())
        onPeerClosed();
    return reply;
}

void MainWindow::endWait() {
    if (m_shownWaitSeconds > 0)
        statusBar()->clearMessage();
    m_shownWaitSeconds = 0;
    // Posted again rather than run here: the caller still works with what the wait brought.
    for (std::function<void()>& work : std::exchange(m_held, {}))
        post(std::move(work));
}

void MainWindow::showWait(std::string_view command, std::chrono::milliseconds waited) {
    // A reply within the first second is the usual case and needs no words.
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    // The greeting answers no command, and has no words of its own.
    if (!command.empty() && seconds > m_shownWaitSeconds) {
        m_shownWaitSeconds = seconds;
        const std::string_view line = beforeLineEnd(command);
        // A login's waits end without a transaction of the window's own to clear the words, so they
        // also go on their own a little after the last second was shown.
        constexpr int kShownFor = 1500;
        statusBar()->showMessage(tr("Waiting for the device's reply to %1… %2 s")
                                     .arg(fromStd(line.substr(0, line.find(' '))), QString::number(seconds)),
                                 kShownFor);
    }
    // The window repaints and the window system's requests are answered; the operator's input waits,
    // as the transaction has always made it wait.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::whenIdle(std::function<void()> work) {
    if (transactionRunning())
        m_held.push_back(std::move(work));
    else
        work();
}

void MainWindow::post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this, [this, work = std::move(work)]() mutable { whenIdle(std::move(work)); }, Qt::QueuedConnection);
}

void MainWindow::closeConnection() {
    Connection::closeConnection();
    notifyConnectionReplaced();
}

void MainWindow::notifyConnectionReplaced() {
    for (Page* page : m_pages.inTabOrder()) {
        if (!page)
            continue;
        page->connectionReplaced();
        page->closeOwnWindows();
    }
}

DeviceConnection::Reopen MainWindow::reopenConnection(std::chrono::milliseconds bound) {
    const BusyCursor busy;
    return Connection::reopenConnection(bound);
}

int MainWindow::runSearch() {
    const int result = m_search->run();
    endWait();
    if (result == QDialog::Accepted) {
        // Only a connect and its login change the device; a cancelled opening leaves the one in use.
        setDeviceRecord(m_search->deviceRecord());
        endRebootHold();
    } else if (!link().isConnected()) {
        // A Connect failed after dropping the connection in use: no device is shown as the one
        // connected, and the title says so.
        setDeviceRecord({});
    }
    return result;
}

void MainWindow::runSearchWindow() {
    runSearch();
    refreshTitle();
}

void MainWindow::showEvent(QShowEvent* event) {
    refreshTitle();
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The waiting transaction runs in this window's session; the window closes once it has returned.
    if (transactionRunning()) {
        event->ignore();
        whenIdle([this] { close(); });
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::refreshTitle() {
    if (!link().isConnected()) {
        setWindowTitle(tr("Lumeno-KVX100 Manager : not connected"));
        return;
    }
    const DeviceRecord& record = deviceRecord();
    setWindowTitle(tr("Lumeno-KVX100 Manager : ") + deviceTextShown(record.btName) + QStringLiteral(" - ") +
                   deviceTextShown(record.ipAddress));
}

void MainWindow::onTabChosen() {
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
    post([this] { onTabChosen(); });
}

void MainWindow::postReconnect() {
    post([this] { handleReconnect(); });
}

void MainWindow::postRelogin() {
    post([this] { handleRelogin(); });
}

void MainWindow::postClose() {
    post([this] { handleClose(); });
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
            link(), *m_console, m_prompter, [this] { postReconnect(); }, m_search->credentials());
    }
    endWait();
    endRebootHold();
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
    if (m_closing || m_disconnected)
        return;
    // Held through a wait, the notice may have come for a socket that this side has closed since, or
    // replaced (a failed login, a reboot): that one is dropped, and the watch goes on with the new one.
    if (!link().peerHasClosed()) {
        m_closeWatch.start();
        return;
    }
    m_disconnected = true;
    m_closeWatch.stop();
    explainFailure(tr("Lumeno-KVX has been disconnected."));
    postClose();
}

void MainWindow::explainFailure(const QString& text) {
    m_pageMessagesDropped = true;
    m_prompter.message(text);
    QMetaObject::invokeMethod(
        this, [this] { m_pageMessagesDropped = m_disconnected; }, Qt::QueuedConnection);
}

} // namespace kvx
