#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "wait_for.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

// Acts on the next modal window once it is up, from outside its event loop.
void whenModal(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        KVX_ASSERT_SOON(QApplication::activeModalWidget() != nullptr);
        act(QApplication::activeModalWidget());
    });
}

} // namespace

TEST(LoginWindow, StartsWithAdminAndAMaskedEmptyPassword) {
    LoginWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Login"));
    auto* user = window.findChild<QLineEdit*>(QStringLiteral("userIdEdit"));
    auto* password = window.findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
    EXPECT_EQ(user->text(), QStringLiteral("admin"));
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(user->accessibleName(), QStringLiteral("UserID"));
    EXPECT_EQ(password->accessibleName(), QStringLiteral("Password"));
}

TEST(LoginWindow, OkTakesBothTextsAndCancelTakesNothing) {
    whenModal([](QWidget* w) {
        auto* user = w->findChild<QLineEdit*>(QStringLiteral("userIdEdit"));
        user->clear();
        QTest::keyClicks(user, QStringLiteral("operator"));
        QTest::keyClicks(w->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), QStringLiteral("s3cret"));
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    const std::optional<Credentials> taken = LoginWindow::ask(nullptr);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->user, "operator");
    EXPECT_EQ(taken->password, "s3cret");

    whenModal([](QWidget* w) {
        EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("userIdEdit"))->text(), QStringLiteral("admin"))
            << "every opening starts afresh";
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    });
    EXPECT_FALSE(LoginWindow::ask(nullptr));

    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>(QStringLiteral("userIdEdit"))->clear();
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    const std::optional<Credentials> empty = LoginWindow::ask(nullptr);
    ASSERT_TRUE(empty) << "empty texts are allowed";
    EXPECT_EQ(empty->user, "");
}

TEST(AboutBox, OpensFromTheMenuWithTheProductText) {
    MainWindow window;
    QString title;
    QString text;
    whenModal([&](QWidget* w) {
        title = w->windowTitle();
        text = w->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
        static_cast<QDialog*>(w)->accept();
    });
    window.findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    EXPECT_EQ(title, QStringLiteral("Lumeno-KVX100 Manager Info"));
    EXPECT_EQ(text, QStringLiteral("Lumeno-KVX100 Manager ver1.0.2"));
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("aboutAction"))->text(),
              QStringLiteral("Lumeno-KVX100 Manager ver1.0.2 Info(&A)..."));
}

TEST(ApplicationIcon, IsSharpAtEverySizeAsked) {
    // An icon made of fixed-size pictures never comes back larger than its largest one (256, the
    // largest a Windows icon holds).
    for (int size : {16, 48, 256})
        EXPECT_EQ(applicationIcon().pixmap(size, size).size(), QSize(size, size)) << size;
}
