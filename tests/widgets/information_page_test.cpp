#include "pages/information_page.h"
#include "recording_prompter.h"
#include "scripted_session.h"
#include "wait_for.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

// Answers the file dialogs and the viewer, and notes whether a progress box was there behind a file
// dialog.
class ProcedurePrompter : public RecordingPrompter {
public:
    QString saveFileName(const QString& filter, const QString& name, const QString& extension) override {
        progressBehindDialog = progressBehindDialog || owner->findChild<QProgressDialog*>() != nullptr;
        return RecordingPrompter::saveFileName(filter, name, extension);
    }
    QString openFileName(const QString& filter, const QString& extension) override {
        progressBehindDialog = progressBehindDialog || owner->findChild<QProgressDialog*>() != nullptr;
        return RecordingPrompter::openFileName(filter, extension);
    }
    bool openInViewer(const QString& path) override {
        RecordingPrompter::openInViewer(path);
        return viewerOpens;
    }

    QWidget* owner = nullptr;
    bool progressBehindDialog = false;
    bool viewerOpens = true;
};

struct Fixture {
    explicit Fixture(InformationPage::RebootTiming timing = {1ms, 60ms, 5ms})
        : page(session, prompter, timing) {
        prompter.owner = &page;
        session.record = {
            "Desk", "100", "SN1", "10.0.0.9", "9000", "AA:BB:CC:DD:EE:FF", "KVX", "00:11:22:33:44:55"};
    }
    QString shown(const char* name) const { return page.findChild<QLabel*>(QLatin1String(name))->text(); }
    bool enabled(const char* name) const {
        return page.findChild<QPushButton*>(QLatin1String(name))->isEnabled();
    }

    void click(const char* name) { page.findChild<QPushButton*>(QLatin1String(name))->click(); }
    // Enables the three procedure buttons.
    void load() {
        session.expect("Ver\r\n", 1, "+OK Ver 2.2\r\n");
        session.expect("list\r\n", 10, "+OK\r\n");
        page.load();
    }

    ScriptedSession session;
    ProcedurePrompter prompter;
    InformationPage page;
};

} // namespace

TEST(InformationPage, LoadSetsTheVersionCodeAndTheButtons) {
    struct Case {
        const char* name;
        std::string verReply;
        std::vector<std::string> listReplies;
        VersionCode code;
        const char* version;
        bool backUpAndLog;
        bool restore;
    };
    const Case cases[] = {
        {"2.1.0 checks twice", "+OK Ver 2.1.0\r\n", {"+OK\r\n", "+OK\r\n"}, 513, "2.1.0", true, true},
        {"1.0.2 checks once", "+OK Ver 1.0.2\r\n", {"+OK\r\n"}, 256, "1.0.2", true, true},
        {"1.5 does not check", "+OK Ver 1.5\r\n", {}, 261, "1.5", false, false},
        {"refused version", "-ERR\r\n", {}, 256, "1.0", false, false},
        {"list refused", "+OK Ver 2.2\r\n", {"-ERR busy\r\n"}, 514, "2.2", true, false},
        {"list silent", "+OK Ver 2.2\r\n", {""}, 514, "2.2", true, false},
        {"the last check decides", "+OK Ver 2.1.0\r\n", {"+OK\r\n", "-ERR\r\n"}, 513, "2.1.0", true, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.session.expect("Ver\r\n", 1, c.verReply);
        for (const std::string& reply : c.listReplies)
            f.session.expect("list\r\n", 10, reply);
        f.page.load();
        EXPECT_TRUE(f.session.done()) << c.name;
        EXPECT_EQ(f.session.versionCode(), c.code) << c.name;
        EXPECT_EQ(f.shown("version").toStdString(), c.version) << c.name;
        EXPECT_EQ(f.enabled("backUpButton"), c.backUpAndLog) << c.name;
        EXPECT_EQ(f.enabled("logButton"), c.backUpAndLog) << c.name;
        EXPECT_EQ(f.enabled("restoreButton"), c.restore) << c.name;
        EXPECT_EQ(f.shown("productName"), QStringLiteral("KVX")) << c.name;
        EXPECT_EQ(f.shown("btName"), QStringLiteral("Desk")) << c.name;
        EXPECT_TRUE(f.prompter.messages.isEmpty()) << c.name;
        EXPECT_EQ(f.session.reconnects, 0) << c.name;
    }
}

TEST(InformationPage, SilentVersionQueryKeepsTheTextsAndAsksToReconnect) {
    Fixture f;
    f.session.expect("Ver\r\n", 1, "+OK Ver 2.2\r\n");
    f.session.expect("list\r\n", 10, "+OK\r\n");
    f.page.load();
    f.session.expect("Ver\r\n", 1, "");
    f.page.load();
    EXPECT_EQ(f.prompter.messages,
              QStringList{QStringLiteral("Get Version is timeout. Check Lumeno-KVX and Try again.")});
    EXPECT_EQ(f.session.reconnects, 1);
    EXPECT_EQ(f.shown("version"), QStringLiteral("2.2"));
    EXPECT_TRUE(f.enabled("restoreButton")) << "only a list check may disable Restore";
}

TEST(InformationPage, RebootOutcomes) {
    using R = DeviceSession::Reopen;
    struct Case {
        const char* name;
        std::string reply;
        std::deque<R> reopens;
        QStringList messages;
        int closed;
        int relogins;
        int reconnects;
        bool manyAttempts;
    };
    const Case cases[] = {
        {"silent",
         "",
         {},
         {QStringLiteral("Reboot is timeout. Check Lumeno-KVX and Try again.")},
         0,
         0,
         1,
         false},
        {"refused", "-ERR\r\n", {}, {QStringLiteral("Reboot is Failed. Try again.")}, 0, 0, 0, false},
        {"ok without line end", "+OK", {}, {QStringLiteral("Reboot is Failed. Try again.")}, 0, 0, 0, false},
        {"back at once", "+OK\r\n", {R::Connected}, {}, 1, 1, 0, false},
        {"back after two refusals",
         "+OK\r\n",
         {R::ConnectFailed, R::ConnectFailed, R::Connected},
         {},
         1,
         1,
         0,
         false},
        {"no socket can be made", "+OK\r\n", {R::CreateFailed}, {}, 1, 0, 0, false},
        {"never back",
         "+OK\r\n",
         std::deque<R>(1000, R::ConnectFailed),
         {QStringLiteral("Reboot is Failed. Try again.")},
         1,
         0,
         1,
         true},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.session.expect("Reboot\r\n", 0, c.reply);
        f.session.reopenAnswers = c.reopens;
        f.page.reboot();
        EXPECT_EQ(f.prompter.messages, c.messages) << c.name;
        EXPECT_EQ(f.session.connectionsClosed, c.closed) << c.name;
        EXPECT_EQ(f.session.relogins, c.relogins) << c.name;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.name;
        if (c.manyAttempts)
            EXPECT_GT(f.session.reopens, 2) << c.name << ": attempts go on until the window closes";
        else if (!c.reopens.empty())
            EXPECT_EQ(f.session.reopens, static_cast<int>(c.reopens.size()))
                << c.name << ": stops at the first success";
        EXPECT_EQ(f.page.findChild<QWidget*>(QStringLiteral("rebootWaitWindow")), nullptr) << c.name;
    }
}

TEST(InformationPage, TheWaitWindowAnimatesDuringThePause) {
    Fixture f({300ms, 10ms, 5ms});
    f.session.expect("Reboot\r\n", 0, "+OK\r\n");
    bool sawAnimation = false;
    QString text;
    QTimer::singleShot(100, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("rebootWaitWindow") && w->isVisible()) {
                sawAnimation =
                    w->findChild<QLabel*>(QStringLiteral("rebootClip"))->movie()->state() == QMovie::Running;
                text = w->findChild<QLabel*>(QStringLiteral("rebootText"))->text();
                EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
            }
        }
    });
    f.page.reboot();
    EXPECT_TRUE(sawAnimation);
    EXPECT_EQ(text, QStringLiteral("Rebooting. . .  Wait a second."));
}

TEST(InformationPage, ARefusedRestoreTurnsTheButtonOff) {
    Fixture f;
    f.load();
    f.session.expect("list\r\n", 3, "+OK\r\n");
    f.click("restoreButton"); // the file dialog is cancelled
    EXPECT_TRUE(f.enabled("restoreButton"));
    f.session.expect("list\r\n", 3, "-ERR\r\n");
    f.click("restoreButton");
    EXPECT_FALSE(f.enabled("restoreButton"));
    EXPECT_TRUE(f.session.done());
}

TEST(InformationPage, ProgressShowsOnlyOnceAFileIsChosenAndItsCancelIsReported) {
    struct Case {
        const char* button;
        std::vector<ScriptedSession::Step> before;
        QString message;
    };
    const Case cases[] = {
        {"backUpButton", {}, QStringLiteral("The backup was cancelled. Nothing was saved.")},
        {"restoreButton",
         {{"list\r\n", 3, "+OK\r\n"}},
         QStringLiteral("The restore was cancelled. The settings sent before it stay on the device.")},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.load();
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.kcf"));
        if (!c.before.empty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        f.prompter.fileAnswers = {path};
        for (const ScriptedSession::Step& step : c.before)
            f.session.expect(step.command, step.wait, step.reply);
        // The operator presses the box's Cancel as soon as it shows: before the first command.
        QTimer cancel;
        cancel.callOnTimeout([&] {
            if (auto* box = f.page.findChild<QProgressDialog*>(); box && box->isVisible())
                box->findChild<QPushButton*>()->click();
        });
        cancel.start(0);
        f.click(c.button);
        EXPECT_FALSE(f.prompter.progressBehindDialog) << c.button;
        EXPECT_EQ(f.prompter.messages, QStringList{c.message}) << c.button;
        EXPECT_TRUE(f.session.done()) << c.button;
        if (c.before.empty())
            EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(InformationPage, WhereNoViewerOpensTheLogItsPlaceIsSaid) {
    const QTemporaryDir dir;
    // The temporary folder is named by TMPDIR on POSIX, by TMP on Windows.
    const char* const variables[] = {"TMPDIR", "TMP"};
    std::vector<std::optional<QByteArray>> saved;
    for (const char* name : variables) {
        saved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, QDir::toNativeSeparators(dir.path()).toLocal8Bit());
    }
    const QString path = QDir::toNativeSeparators(dir.filePath(QStringLiteral("KVXLOG.TXT")));
    for (const bool viewerOpens : {true, false}) {
        Fixture f;
        f.load();
        f.prompter.viewerOpens = viewerOpens;
        f.session.expect("log\r\n", 10, "+OK\r\nboot\r\n");
        f.click("logButton");
        EXPECT_EQ(f.prompter.viewed, QStringList{dir.filePath(QStringLiteral("KVXLOG.TXT"))});
        EXPECT_EQ(f.prompter.messages,
                  viewerOpens
                      ? QStringList{}
                      : QStringList{QStringLiteral("No viewer opened the device log. It was written to:\n") +
                                    path});
    }
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i])
            qputenv(variables[i], *saved[i]);
        else
            qunsetenv(variables[i]);
    }
}
