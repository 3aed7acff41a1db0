#include "pages/operation_mode_page.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

struct Fixture {
    Fixture()
        : page(session, prompter) {
        session.setVersionCode(513);
    }

    QRadioButton* radio(int i) const {
        return page.findChild<QRadioButton*>(QStringLiteral("modeRadio%1").arg(i));
    }
    int checkedRadio() const {
        for (int i = 0; i < kModeCount; ++i) {
            if (radio(i)->isChecked())
                return i;
        }
        return -1;
    }
    QString modeName() const { return page.findChild<QLabel*>(QStringLiteral("modeName"))->text(); }
    void click(const char* name) {
        QTest::mouseClick(page.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    void loadWith(const std::string& reply) {
        session.expect("Mode\r\n", 10, reply);
        page.load();
    }

    ScriptedSession session;
    RecordingPrompter prompter;
    OperationModePage page;
};

} // namespace

TEST(OperationModePage, LoadShowsTheModeTheDeviceReports) {
    struct Case {
        const char* reply;
        int radio;
        const char* name;
    };
    const Case cases[] = {
        {"+OK Server Mode\r\n", 0, "Server"},
        {"+OK Vertex Mode\r\n", 2, "Vertex"},
        {"+OK Serial Hub Mode\r\n", 4, "SerialHub"},
        {"+OK RS232 Mode\r\n", 5, "RS232"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith(c.reply);
        EXPECT_EQ(f.checkedRadio(), c.radio) << c.reply;
        EXPECT_EQ(f.page.modeIndex(), c.radio) << c.reply;
        EXPECT_EQ(f.modeName().toStdString(), c.name) << c.reply;
        EXPECT_TRUE(f.prompter.messages.isEmpty());
    }
}

TEST(OperationModePage, UnexpectedOrMissingRepliesKeepTheSelection) {
    struct Case {
        const char* reply;
        const char* message;
        int reconnects;
    };
    const Case cases[] = {
        {"-ERR\r\n", "Get Basic Information is Failed. Retry again.", 0},
        {"+OK serial hub mode\r\n", "Get Basic Information is Failed. Retry again.", 0},
        {"+OK Vertex Mode", "Get Basic Information is Failed. Retry again.", 0},
        {"", "Get Basic Information is timeout. Check Lumeno-KVX and Try again.", 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith("+OK Client Mode\r\n");
        f.loadWith(c.reply);
        EXPECT_EQ(f.prompter.messages, QStringList{QLatin1String(c.message)}) << c.reply;
        EXPECT_EQ(f.session.reconnects, c.reconnects) << c.reply;
        EXPECT_EQ(f.checkedRadio(), 1) << c.reply;
        EXPECT_EQ(f.modeName(), QStringLiteral("Client")) << c.reply;
    }
}

TEST(OperationModePage, RadiosAreDisabledByVersionAndModel) {
    struct Case {
        VersionCode version;
        const char* model;
        bool repeaterAndHub;
        bool rs232;
    };
    const Case cases[] = {{262, "100", false, true},
                          {263, "100", true, true},
                          {513, "101", true, false},
                          {256, "101", false, false}};
    for (const Case& c : cases) {
        Fixture f;
        f.session.setVersionCode(c.version);
        f.session.record.modelCode = c.model;
        f.loadWith("+OK Server Mode\r\n");
        EXPECT_EQ(f.radio(3)->isEnabled(), c.repeaterAndHub) << c.version;
        EXPECT_EQ(f.radio(4)->isEnabled(), c.repeaterAndHub) << c.version;
        EXPECT_EQ(f.radio(5)->isEnabled(), c.rs232) << c.model;
        EXPECT_TRUE(f.radio(0)->isEnabled() && f.radio(1)->isEnabled() && f.radio(2)->isEnabled());
    }
    Fixture f;
    f.session.setVersionCode(262);
    f.loadWith("+OK Server Mode\r\n");
    f.session.setVersionCode(513);
    f.loadWith("+OK Server Mode\r\n");
    EXPECT_FALSE(f.radio(3)->isEnabled()) << "a later load never enables them again";
}

TEST(OperationModePage, ApplySendsTheKeywordWithItsWait) {
    struct Case {
        int radio;
        const char* command;
        int wait;
        std::string reply;
        const char* message;
        int shownAfter;
    };
    const Case cases[] = {
        {2, "mode vertex\r\n", 3, "+OK\r\n", nullptr, 2},
        {4, "mode hub\r\n", 3, "ok then +OK\r\n", nullptr, 4},
        {3, "mode repeater\r\n", 20, "+OK\r\n", nullptr, 3},
        {5, "mode rs232\r\n", 3, "-ERR\r\n", "Failed.", 0},
        {0, "mode server\r\n", 3, "", "Timeout.", 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.loadWith("+OK Server Mode\r\n");
        f.radio(c.radio)->click();
        f.session.expect(c.command, c.wait, c.reply);
        f.click("applyButton");
        EXPECT_TRUE(f.session.done()) << c.command;
        EXPECT_EQ(f.prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList{})
            << c.command;
        EXPECT_EQ(f.page.modeIndex(), c.shownAfter) << c.command;
        EXPECT_EQ(f.checkedRadio(), c.shownAfter) << c.command;
        EXPECT_EQ(f.modeName().toStdString(), std::string(modeName(c.shownAfter))) << c.command;
        EXPECT_EQ(f.session.reconnects, 0) << "no reconnect after a mode change, even a silent one";
    }
}

TEST(OperationModePage, ApplyWithNoRadioSelectedSendsAnEmptyKeyword) {
    Fixture f;
    f.session.expect("mode \r\n", 3, "-ERR\r\n");
    f.click("applyButton");
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.page.modeIndex(), -1);
    EXPECT_EQ(f.modeName(), QStringLiteral("Unknown"));
}

TEST(OperationModePage, ACancelledPreparationWindowSendsNothing) {
    for (int mode : {1, 3, 5}) {
        Fixture f;
        int opened = 0;
        f.page.modeWindows().setPreparation(mode, [&] {
            ++opened;
            return false;
        });
        f.loadWith("+OK Vertex Mode\r\n");
        f.radio(mode)->click();
        f.click("applyButton");
        EXPECT_EQ(opened, 1) << mode;
        EXPECT_TRUE(f.session.done()) << "nothing sent for " << mode;
        EXPECT_EQ(f.checkedRadio(), 2) << mode;
        EXPECT_EQ(f.page.modeIndex(), 2) << mode;
        EXPECT_TRUE(f.prompter.messages.isEmpty());
    }
    Fixture f;
    f.page.modeWindows().setPreparation(1, [] { return true; });
    f.loadWith("+OK Vertex Mode\r\n");
    f.radio(1)->click();
    f.session.expect("mode client\r\n", 3, "+OK\r\n");
    f.click("applyButton");
    EXPECT_EQ(f.page.modeIndex(), 1) << "an accepted preparation lets the change go ahead";
}

TEST(OperationModePage, AdvancedConfigurationActsOnTheStoredMode) {
    Fixture f;
    int hubOpened = 0;
    int vertexOpened = 0;
    f.page.modeWindows().setSettingsWindow(4, [&] { ++hubOpened; });
    f.page.modeWindows().setSettingsWindow(2, [&] { ++vertexOpened; });
    f.loadWith("+OK Vertex Mode\r\n");
    f.radio(4)->click(); // clicked, not applied
    f.click("advancedButton");
    EXPECT_EQ(vertexOpened, 1);
    EXPECT_EQ(hubOpened, 0);

    f.loadWith("+OK Repeater Mode\r\n");
    f.click("advancedButton");
    EXPECT_EQ(f.prompter.messages, QStringList{QStringLiteral("No advanced configuration needed.")});

    Fixture none;
    none.click("advancedButton");
    EXPECT_EQ(none.prompter.messages, QStringList{QStringLiteral("No advanced configuration needed.")})
        << "no mode read yet";
}

TEST(OperationModePage, SearchAndQuitGoToTheMainWindow) {
    Fixture f;
    f.click("searchButton");
    EXPECT_EQ(f.session.searchWindowsRun, 1);
    EXPECT_EQ(f.session.sent.size(), 0u) << "a search that connected nothing new reloads nothing";
    f.click("quitButton");
    EXPECT_EQ(f.session.closes, 1);
}

// After a search connected another device, the page shows that device's mode, so that Apply never
// sends the last device's.
TEST(OperationModePage, ASearchThatConnectsAnotherDeviceShowsItsMode) {
    Fixture f;
    f.loadWith("+OK Vertex Mode\r\n");
    f.session.searchWindow = [&] {
        f.session.record.ipAddress = "10.0.0.9";
        f.page.connectionReplaced();
        f.session.expect("Mode\r\n", 10, "+OK Client Mode\r\n");
    };
    f.click("searchButton");
    EXPECT_TRUE(f.session.done());
    EXPECT_EQ(f.checkedRadio(), int(OperationMode::Client));
}

TEST(OperationModePage, ItsWindowsCloseWhenTheConnectionIsReplaced) {
    struct Case {
        const char* when;
        bool beforeShown; // a reconnect from inside the window's own load
        bool whileOpen;
        int result;
    };
    const Case cases[] = {
        {"while open", false, true, QDialog::Rejected},
        {"while opening", true, false, QDialog::Rejected},
        {"not on the next opening", false, false, QDialog::Accepted},
    };
    Fixture f;
    f.loadWith("+OK Vertex Mode\r\n");
    QDialog window(&f.page);
    for (const Case& c : cases) {
        QTimer replace;
        QTimer giveUp; // the operator's OK, unless the window closed first
        replace.setSingleShot(true);
        giveUp.setSingleShot(true);
        QObject::connect(&replace, &QTimer::timeout, [&] { f.page.connectionReplaced(); });
        QObject::connect(&giveUp, &QTimer::timeout, &window, &QDialog::accept);
        int result = -1;
        f.page.modeWindows().setSettingsWindow(2, [&] {
            if (c.beforeShown)
                f.page.connectionReplaced();
            if (c.whileOpen)
                replace.start(20);
            giveUp.start(500);
            result = window.exec();
        });
        f.click("advancedButton");
        EXPECT_EQ(result, c.result) << c.when;
        EXPECT_FALSE(window.isVisible()) << c.when;
    }
}
