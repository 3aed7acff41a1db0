// A scripted walk through the manager for machines without a person at the screen: it types the
// simulated device's address, logs in, clicks every tab, saves what each looks like and prints the
// console transcript; given an inventory, it then refreshes its devices in the Devices window.
#include "app/devices_window.h"
#include "app/main_window.h"
#include "app/translation.h"
#include "core/prompter.h"
#include "ui/console_pane.h"
#include "ui/search_connect_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

struct TourSettings {
    QString host;
    QString port;
    QString user;
    QString password;
    QString screenshotDir;
};

void say(const QString& text) {
    std::fprintf(stdout, "tour: %s\n", qPrintable(text));
    std::fflush(stdout);
}

void saveScreenshot(QWidget* window, const QString& dir, const QString& name) {
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    const bool saved = window->grab().save(path);
    say((saved ? QStringLiteral("saved ") : QStringLiteral("could not save ")) + path);
}

// Answers whatever modal window shows up next, so that the blocking calls of the manager can go on.
class Driver : public QObject {
public:
    explicit Driver(TourSettings settings)
        : m_settings(std::move(settings)) {
        connect(&m_poll, &QTimer::timeout, this, &Driver::step);
        m_poll.start(50);
    }
    bool failed() const { return m_failed; }

private:
    void step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            m_lastShot = nullptr; // a long-lived window opened again is a new opening
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            say(QStringLiteral("message: ") + box->text());
            m_failed = true;
            box->accept();
        } else if (modal->objectName() == QLatin1String("searchConnectWindow") && !m_connectClicked) {
            auto* ip = modal->findChild<QLineEdit*>(QStringLiteral("ipAddressEdit"));
            auto* port = modal->findChild<QLineEdit*>(QStringLiteral("controlPortEdit"));
            // The window may open with the address of an earlier run.
            ip->clear();
            port->clear();
            QTest::keyClicks(ip, m_settings.host);
            QTest::keyClicks(port, m_settings.port);
            saveScreenshot(modal, m_settings.screenshotDir, QStringLiteral("0-search-and-connect"));
            m_connectClicked = true;
            clickLater(modal->findChild<QPushButton*>(QStringLiteral("connectButton")));
        } else if (modal->objectName() == QLatin1String("loginWindow")) {
            auto* user = modal->findChild<QLineEdit*>(QStringLiteral("userIdEdit"));
            user->clear();
            QTest::keyClicks(user, m_settings.user);
            QTest::keyClicks(modal->findChild<QLineEdit*>(QStringLiteral("passwordEdit")),
                             m_settings.password);
            saveScreenshot(modal, m_settings.screenshotDir, QStringLiteral("0-login"));
            clickLater(modal->findChild<QPushButton*>(QStringLiteral("okButton")));
        } else if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog != m_lastShot) {
            // A settings window: keep a picture of it as loaded, then close it as OK does.
            m_lastShot = dialog;
            saveScreenshot(dialog, m_settings.screenshotDir,
                           QStringLiteral("7-%1-%2").arg(++m_windowsShot).arg(dialog->objectName()));
            QTimer::singleShot(0, dialog, &QDialog::accept);
        }
    }

    // The click opens windows with event loops of their own; this poll must return first, or its
    // timer could not fire again inside them.
    static void clickLater(QPushButton* button) {
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }

    TourSettings m_settings;
    QTimer m_poll;
    bool m_connectClicked = false;
    QDialog* m_lastShot = nullptr;
    int m_windowsShot = 0;
    bool m_failed = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Its remembered fields and sizes sit beside the manager's, not under an unnamed maker.
    QApplication::setOrganizationName(QStringLiteral("Lumeno"));
    kvx::installTranslations(app, kvx::pickLanguage(QLocale::system().uiLanguages()));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Device address."),
                                  QStringLiteral("ip"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Control port."),
                                  QStringLiteral("port"));
    const QCommandLineOption discoveryPort(QStringLiteral("discovery-port"),
                                           QStringLiteral("Discovery port of the device."),
                                           QStringLiteral("port"), QStringLiteral("9097"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("User ID."), QStringLiteral("id"),
                                  QStringLiteral("admin"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Password."),
                                      QStringLiteral("text"), QStringLiteral("admin"));
    const QCommandLineOption shots(QStringLiteral("screenshots"),
                                   QStringLiteral("Folder for the screenshots."), QStringLiteral("dir"),
                                   QStringLiteral("screenshots"));
    const QCommandLineOption startupProbe(
        QStringLiteral("startup-probe"),
        QStringLiteral("Only tell when the search and connect window shows."));
    const QCommandLineOption inventory(QStringLiteral("devices-inventory"),
                                       QStringLiteral("Devices to refresh in the Devices window at the end."),
                                       QStringLiteral("file"));
    parser.addOptions({host, port, discoveryPort, user, password, shots, startupProbe, inventory});
    parser.process(app);
    if (parser.isSet(startupProbe)) {
        // Used to time the start: the line goes out the moment the first window is on screen.
        kvx::MainWindow window;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (window.searchWindow()->isVisible()) {
                say(QStringLiteral("search-window-shown"));
                std::_Exit(0);
            }
        });
        poll.start(1);
        window.initialise();
        return 1;
    }
    if (!parser.isSet(port)) {
        std::fprintf(stderr, "kvx100-tour: --port is required\n");
        return 2;
    }
    QDir().mkpath(parser.value(shots));

    Driver driver({parser.value(host), parser.value(port), parser.value(user), parser.value(password),
                   parser.value(shots)});
    // Never hang a script: give up after a minute whatever happens.
    QTimer::singleShot(60000, &app, [] {
        say(QStringLiteral("gave up after 60 s"));
        QCoreApplication::exit(1);
        std::exit(1);
    });

    kvx::MainWindow::Options options;
    options.discoveryTarget.port = static_cast<std::uint16_t>(parser.value(discoveryPort).toUInt());
    kvx::MainWindow window(std::move(options));
    if (!window.initialise()) {
        say(QStringLiteral("the search and connect window was cancelled"));
        return 1;
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        say(QStringLiteral("the main window was not exposed; screenshots may be blank"));
    QTabBar* bar = window.tabs()->tabBar();
    for (int i = 0; i < window.tabs()->count(); ++i) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        QTest::qWait(300);
        // Start the periodic inquiry and let a few polls find the neighbours.
        if (auto* start = window.tabs()->widget(i)->findChild<QPushButton*>(QStringLiteral("startButton"));
            start && start->isEnabled()) {
            QTest::mouseClick(start, Qt::LeftButton);
            QTest::qWait(4500);
        }
        saveScreenshot(
            &window, parser.value(shots),
            QStringLiteral("%1-tab-%2").arg(i + 1).arg(bar->tabText(i).trimmed().replace(u' ', u'-')));
    }
    // Each mode's windows: the change to it (with its preparation window) and its settings window.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QTest::qWait(300);
    QWidget* modePage = window.tabs()->widget(0);
    const auto click = [modePage](const QString& name) {
        if (auto* button = modePage->findChild<QAbstractButton*>(name); button && button->isEnabled())
            button->click();
        QTest::qWait(300);
    };
    for (int mode : {1, 2, 4, 5, 0}) {
        click(QStringLiteral("modeRadio%1").arg(mode));
        click(QStringLiteral("applyButton"));
        click(QStringLiteral("advancedButton"));
    }
    if (parser.isSet(inventory)) {
        // The tour's own list of an earlier run named devices that are gone now.
        QSettings().remove(QStringLiteral("devicesWindow"));
        kvx::DevicesWindowOptions devicesOptions;
        devicesOptions.discoveryTarget.port =
            static_cast<std::uint16_t>(parser.value(discoveryPort).toUInt());
        kvx::DevicesWindow devices(std::move(devicesOptions));
        devices.resize(1000, 360);
        devices.show();
        if (!QTest::qWaitForWindowExposed(&devices))
            say(QStringLiteral("the Devices window was not exposed; its screenshot may be blank"));
        if (devices.openInventory(parser.value(inventory))) {
            QEventLoop refreshed;
            QObject::connect(&devices, &kvx::DevicesWindow::idle, &refreshed, &QEventLoop::quit);
            devices.refresh();
            refreshed.exec();
        }
        saveScreenshot(&devices, parser.value(shots), QStringLiteral("9-devices"));
    }
    say(QStringLiteral("console transcript:"));
    std::fputs(window.console()->toPlainText().toUtf8().constData(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    return driver.failed() ? 1 : 0;
}
