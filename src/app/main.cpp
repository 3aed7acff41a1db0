#include "app/app_icon.h"
#include "app/devices_window.h"
#include "app/main_window.h"
#include "app/translation.h"

#include <QApplication>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <kvx_version.h>

int main(int argc, char* argv[]) {
    // Answered before any window system is touched, so they work on a machine without a display (the
    // manual page is made from them at build time).
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kvx100-manager %.*s\n", int(kvx::kVersion.size()), kvx::kVersion.data());
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: kvx100-manager [OPTION]...\n"
                    "Finds Lumeno-KVX100 devices on the local network, logs in and configures them.\n"
                    "\n"
                    "Options:\n"
                    "  --devices           open the Devices window: many devices in one list\n"
                    "  --inventory FILE    with --devices, list the devices of a kvx100ctl inventory\n"
                    "  --help              show this text and exit\n"
                    "  --version           show the version and exit\n"
                    "\n"
                    "Qt's own options (-platform, -style, -reverse...) are taken as well.\n");
        return 0;
    }
    QApplication app(argc, argv);
    // Together they name the user's settings file (Lumeno/kvx100-manager.conf under the config folder).
    QApplication::setOrganizationName(QStringLiteral("Lumeno"));
    QApplication::setApplicationName(QStringLiteral("kvx100-manager"));
    // Names the installed desktop entry, which is how Wayland finds the window's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kvx100-manager"));
    QApplication::setWindowIcon(kvx::applicationIcon());
    kvx::installTranslations(app, kvx::pickLanguage(QLocale::system().uiLanguages()));

    kvx::MainWindowOptions options;
    options.transcriptFolder = kvx::defaultTranscriptFolder();
    const QStringList arguments = QApplication::arguments();
    const qsizetype inventory = arguments.indexOf(QStringLiteral("--inventory"));
    if (arguments.contains(QStringLiteral("--devices")) || inventory > 0) {
        kvx::DevicesWindowOptions devices;
        devices.deviceWindow = std::move(options);
        kvx::DevicesWindow* window = kvx::openDevicesWindow(std::move(devices));
        if (inventory > 0 && inventory + 1 < arguments.size())
            window->openInventory(arguments[inventory + 1]);
        return app.exec();
    }
    kvx::MainWindow window(std::move(options));
    if (!window.initialise()) {
        // The search window may have handed over to the Devices window, which then runs on its own.
        const QWidgetList windows = QApplication::topLevelWidgets();
        if (std::none_of(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); }))
            return 0;
        return app.exec();
    }
    window.show();
    return app.exec();
}
