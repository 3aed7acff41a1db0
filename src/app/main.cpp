#include "app/app_icon.h"
#include "app/main_window.h"
#include "app/translation.h"

#include <QApplication>
#include <QLocale>
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
                    "  --help     show this text and exit\n"
                    "  --version  show the version and exit\n"
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
    kvx::MainWindow window(std::move(options));
    if (!window.initialise())
        return 0;
    window.show();
    return app.exec();
}
