#include "controls/masked_edit.h"
#include "pages/repeater_page.h"
#include "pages/repeater_station_window.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

constexpr int kStillOpen = -1;

MaskedEdit* addressEdit(const QWidget& window) {
    return window.findChild<MaskedEdit*>(QStringLiteral("addressEdit"));
}

void click(const QWidget& window, const char* name) {
    QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

// Runs the window modally, does `act` once it shows and returns its result; kStillOpen when `act` left
// it open.
int run(QDialog& window, const std::function<void()>& act) {
    bool stillOpen = false;
    QTimer::singleShot(0, &window, [&] {
        act();
        if (window.isVisible()) {
            stillOpen = true;
            window.reject();
        }
    });
    const int result = window.exec();
    return stillOpen ? kStillOpen : result;
}

} // namespace

TEST(RepeaterStationWindow, CreationFillsTheAddressFromTheReply) {
    struct Case {
        const char* reply;
        const char* input; // the twelve input positions, blanks where empty
    };
    const Case cases[] = {
        {"+OK 00:11:22:33:44:55\r\n", "001122334455"},
        {"+OK 001122334455\r\n", "001122334455"},
        {"+OK aa:BB:cc:DD:ee:FF:77\r\n", "aaBBccDDeeFF"},
        {"+OK 0011\r\n", "0011        "},
        {"+OK\r\n", "            "},
        {"-ERR\r\n", "            "},
        {"", "            "},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("station\r\n", 1, c.reply);
        RepeaterStationWindow window(session, prompter);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Repeater Mode"));
        EXPECT_EQ(addressEdit(window)->inputData().toStdString(), c.input) << c.reply;
        EXPECT_TRUE(prompter.messages.isEmpty()) << c.reply;
        EXPECT_TRUE(session.done());
    }
}

TEST(RepeaterStationWindow, OkSendsTheSixPairsAndClosesOnlyWhenTaken) {
    struct Case {
        const char* typed;
        const char* command; // nullptr: nothing is sent
        const char* reply;
        const char* message;
        int result;
    };
    const Case cases[] = {
        {"001122334455", "station 00:11:22:33:44:55\r\n", "+OK\r\n", nullptr, QDialog::Accepted},
        {"aabbccDDEEFF", "station aa:bb:cc:DD:EE:FF\r\n", "+OK\r\n", nullptr, QDialog::Accepted},
        {"001122334455", "station 00:11:22:33:44:55\r\n", "-ERR\r\n", "Failed.", kStillOpen},
        {"001122334455", "station 00:11:22:33:44:55\r\n", "", "Timeout.", kStillOpen},
        {"00112233445", nullptr, "", "Incorrect Bluetooth Address.", kStillOpen},
        {"", nullptr, "", "Incorrect Bluetooth Address.", kStillOpen},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("station\r\n", 1, "+OK\r\n");
        RepeaterStationWindow window(session, prompter);
        if (c.command)
            session.expect(c.command, 1, c.reply);
        const int result = run(window, [&] {
            addressEdit(window)->setFocus();
            QTest::keyClicks(addressEdit(window), QLatin1String(c.typed));
            click(window, "okButton");
        });
        EXPECT_EQ(result, c.result) << c.typed << ' ' << c.reply;
        EXPECT_TRUE(session.done()) << c.typed;
        EXPECT_EQ(prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList())
            << c.typed;
        EXPECT_EQ(session.reconnects, 0);
    }
}

TEST(RepeaterStationWindow, RefusedThenCancelled) {
    ScriptedSession session;
    RecordingPrompter prompter;
    session.expect("station\r\n", 1, "+OK 00:11:22:33:44:55\r\n");
    RepeaterStationWindow window(session, prompter);
    session.expect("station 00:11:22:33:44:55\r\n", 1, "-ERR\r\n");
    const int result = run(window, [&] {
        click(window, "okButton");
        EXPECT_TRUE(window.isVisible());
        click(window, "cancelButton");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(session.done());
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("Failed.")});
    EXPECT_EQ(addressEdit(window)->accessibleName(), QStringLiteral("BDADDR"));
}

namespace {

struct PageFixture {
    PageFixture()
        : page(session, prompter) {
        session.capabilityLine = "+OK REPEATER PRSV";
    }
    QTreeWidget* tree() const { return page.findChild<QTreeWidget*>(QStringLiteral("repeaterTree")); }
    QPushButton* refreshButton() const {
        return page.findChild<QPushButton*>(QStringLiteral("refreshButton"));
    }
    QTreeWidgetItem* item(std::initializer_list<int> path) const {
        QTreeWidgetItem* at = nullptr;
        for (int index : path) {
            at = at ? at->child(index) : tree()->topLevelItem(index);
            if (!at)
                return nullptr;
        }
        return at;
    }
    std::string text(std::initializer_list<int> path) const {
        const QTreeWidgetItem* at = item(path);
        return at ? at->text(0).toStdString() : "(none)";
    }

    ScriptedSession session;
    RecordingPrompter prompter;
    RepeaterPage page;
};

const char* const kTwoLevels = "R:A|B|1|X\r\nD:B|D|Y\r\n+OK\r\n";

} // namespace

TEST(RepeaterPage, LoadBuildsTheTreeWithImagesExpanded) {
    PageFixture f;
    f.session.expect("repeater\r\n", 1, kTwoLevels);
    f.page.load();
    EXPECT_TRUE(f.session.done());
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    ASSERT_EQ(f.tree()->topLevelItemCount(), 1);
    EXPECT_EQ(f.text({0}), "A");
    EXPECT_EQ(f.text({0, 0}), "B ( X )");
    EXPECT_EQ(f.text({0, 0, 0}), "D ( Y )");
    EXPECT_TRUE(f.item({0})->isExpanded());
    EXPECT_TRUE(f.item({0, 0})->isExpanded());
    const qint64 repeaterImage = f.item({0})->icon(0).cacheKey();
    EXPECT_EQ(f.item({0, 0})->icon(0).cacheKey(), repeaterImage);
    EXPECT_NE(f.item({0, 0, 0})->icon(0).cacheKey(), repeaterImage);
    EXPECT_FALSE(f.item({0, 0, 0})->icon(0).isNull());
    EXPECT_EQ(f.item({0, 0, 0})->icon(0).availableSizes(), QList<QSize>{QSize(16, 16)});
}

TEST(RepeaterPage, RefusedOrSilentReplyKeepsThePreviousTree) {
    for (const char* bad : {"", "-ERR\r\n", "R:A|C|1|Z\r\n-ERR\r\n"}) {
        PageFixture f;
        f.session.expect("repeater\r\n", 1, kTwoLevels);
        f.page.load();
        f.session.expect("repeater\r\n", 1, bad);
        QTest::mouseClick(f.refreshButton(), Qt::LeftButton);
        EXPECT_TRUE(f.session.done()) << bad;
        EXPECT_EQ(f.prompter.messages, QStringList{QStringLiteral("Loading repeater list failed.")}) << bad;
        EXPECT_EQ(f.text({0, 0}), "B ( X )") << bad;
        EXPECT_EQ(f.session.reconnects, 0);
    }
}

TEST(RepeaterPage, RefreshAndANewConnectionReplaceTheTree) {
    PageFixture f;
    f.session.expect("repeater\r\n", 1, kTwoLevels);
    f.page.load();
    f.page.connectionReplaced();
    EXPECT_EQ(f.tree()->topLevelItemCount(), 0);
    f.session.expect("repeater\r\n", 1, kTwoLevels);
    f.page.load();
    f.session.expect("repeater\r\n", 1, "+OK\r\n");
    QTest::mouseClick(f.refreshButton(), Qt::LeftButton);
    EXPECT_EQ(f.tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(f.prompter.messages.isEmpty());
    EXPECT_TRUE(f.session.done());
}

TEST(RepeaterPage, WithoutTheRepeaterFunctionNothingIsSent) {
    PageFixture f;
    f.session.capabilityLine = "+OK PRSV KATO";
    f.page.load();
    EXPECT_FALSE(f.refreshButton()->isEnabled());
    EXPECT_TRUE(f.session.sent.empty());
}
