#include "app/main_window.h"
#include "app/translation.h"
#include "modes/server_mode_window.h"
#include "recording_prompter.h"
#include "search_window_operator.h"
#include "sim_fixture.h"
#include "ui/dialog_prompter.h"
#include "ui/search_connect_window.h"
#include "wait_for.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

struct Shown {
    QStringList tabs;
    QString connectButton;
    QString firstColumn;
    QString serverWindowTitle;
    QString messageBox;
    QString messageBoxButton;
};

// What an operator sees in a few places: the tabs, the search window, a settings window, a message box.
Shown lookAround() {
    Shown shown;
    auto device = startDevice();
    RecordingPrompter prompter;
    MainWindowOptions options;
    options.prompter = &prompter;
    options.discoveryTarget = loopbackTarget(*device);
    options.askCredentials = [] {
        return std::optional<Credentials>(Credentials{"admin", "admin"});
    };
    MainWindow window(std::move(options));
    shown.connectButton =
        window.searchWindow()->findChild<QPushButton*>(QStringLiteral("connectButton"))->text();
    shown.firstColumn = window.searchWindow()->findChild<QTreeWidget*>()->headerItem()->text(0);
    SearchWindowOperator user(window);
    user.connectTo(*device);
    EXPECT_TRUE(window.initialise());
    for (int i = 0; i < window.tabs()->count(); ++i)
        shown.tabs << window.tabs()->tabText(i);

    ServerModeWindow server(window, prompter);
    shown.serverWindowTitle = server.windowTitle();

    QTimer::singleShot(0, [&shown] {
        KVX_ASSERT_SOON(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        shown.messageBox = box->text();
        shown.messageBoxButton = box->buttons().value(0)->text();
        box->accept();
    });
    DialogPrompter().message(
        QCoreApplication::translate("kvx::MainWindow", "Lumeno-KVX has been disconnected."));
    return shown;
}

} // namespace

TEST(Translation, EnglishShowsTheTextsExactly) {
    const Shown shown = lookAround();
    EXPECT_EQ(shown.tabs, (QStringList{QStringLiteral("  Operation Mode  "), QStringLiteral("  Bluetooth  "),
                                       QStringLiteral("  Connections  "), QStringLiteral("  Neighborhoods  "),
                                       QStringLiteral("  Repeater  "),
                                       QStringLiteral("  Lumeno-KVX100 Manager Information  ")}));
    EXPECT_EQ(shown.connectButton, QStringLiteral("Connect"));
    EXPECT_EQ(shown.firstColumn, QStringLiteral("          Name"));
    EXPECT_EQ(shown.messageBox, QStringLiteral("Lumeno-KVX has been disconnected."));
    EXPECT_EQ(shown.messageBoxButton, QStringLiteral("OK"));
    EXPECT_EQ(shown.serverWindowTitle, QStringLiteral("Server Mode"));
}

TEST(Translation, AKoreanUserInterfaceShowsKorean) {
    ASSERT_EQ(pickLanguage({QStringLiteral("ko-KR"), QStringLiteral("en-US")}), QStringLiteral("ko"));
    const QList<QTranslator*> installed =
        installTranslations(*QCoreApplication::instance(), QStringLiteral("ko"));
    ASSERT_FALSE(installed.isEmpty()) << "the Korean translation is compiled into the program";
    const Shown shown = lookAround();
    for (QTranslator* translator : installed)
        QCoreApplication::removeTranslator(translator);

    EXPECT_EQ(shown.tabs.value(0), QStringLiteral("  동작 모드  "));
    EXPECT_EQ(shown.tabs.value(1), QStringLiteral("  블루투스  "));
    EXPECT_EQ(shown.connectButton, QStringLiteral("연결"));
    EXPECT_EQ(shown.firstColumn, QStringLiteral("          이름"));
    EXPECT_EQ(shown.messageBox, QStringLiteral("Lumeno-KVX와의 연결이 끊어졌습니다."));
    EXPECT_EQ(shown.messageBoxButton, QStringLiteral("확인")) << "Qt's own buttons speak Korean too";
    EXPECT_NE(shown.serverWindowTitle, QStringLiteral("Server Mode"));
    for (const QString& tab : shown.tabs)
        EXPECT_FALSE(tab.contains(QStringLiteral("Operation")) || tab.contains(QStringLiteral("Bluetooth")))
            << tab.toStdString();
}
