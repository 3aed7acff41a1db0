#include "app/main_window.h"
#include "app/translation.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <cstring>
#include <kvx_version.h>

int main(int argc, char* argv[]) {
    // Answered before any window system is touched, so it works on a machine without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kvx100-manager %.*s\n", int(kvx::kVersion.size()), kvx::kVersion.data());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvx100-manager"));
    kvx::installTranslations(app, kvx::pickLanguage(QLocale::system().uiLanguages()));

    kvx::MainWindow window;
    if (!window.initialise())
        return 0;
    window.show();
    return app.exec();
}
