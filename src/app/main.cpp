#include "app/main_window.h"
#include "app/translation.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvx100-manager"));
    kvx::installTranslations(app, kvx::pickLanguage(QLocale::system().uiLanguages()));

    kvx::MainWindow window;
    if (!window.initialise())
        return 0;
    window.show();
    return app.exec();
}
