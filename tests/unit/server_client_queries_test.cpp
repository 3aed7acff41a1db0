#include "core/server_client_queries.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

const QueryStep kRemove{"", 0, QueryStep::Success::ExactlyOk, "Test", "timed out", "failed"};
const QueryStep kAdd{"", 10, QueryStep::Success::ExactlyOk, "Test", "timed out", "failed"};
const EntryReplacement kReplacement{"Rele 9101\r\n", "Bind Scale 9105\r\n", "Bind Printer 9101\r\n"};

// Shows which context each text was looked up in.
class ContextTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        return QLatin1String(context) + QLatin1Char('|') + QLatin1String(source);
    }
};

} // namespace

TEST(ServerClientQueries, AReplacementRestoresTheOldEntryWhenOnlyTheRemovalWentThrough) {
    const QString timeout = QStringLiteral("timed out");
    const QString failed = QStringLiteral("failed");
    struct Case {
        const char* name;
        const char* removeReply;
        const char* addReply; // nullptr: not sent
        bool restored;
        bool replaced;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"both taken", "+OK\r\n", "+OK\r\n", false, true, {}, 0},
        {"removal silent", "", nullptr, false, false, {timeout}, 1},
        {"removal refused", "-ERR\r\n", nullptr, false, false, {failed}, 0},
        {"removal without its CR LF", "+OK", nullptr, false, false, {failed}, 0},
        {"add refused", "+OK\r\n", "-ERR Already registered\r\n", true, false, {failed}, 0},
        {"add silent", "+OK\r\n", "", true, false, {timeout}, 1},
        {"add answered with more than +OK", "+OK\r\n", "+OK done\r\n", true, false, {failed}, 0},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect(kReplacement.remove, 0, c.removeReply);
        if (c.addReply)
            session.expect(kReplacement.add, 10, c.addReply);
        // The restore's own answer changes nothing: the message is that of the failed add.
        if (c.restored)
            session.expect(kReplacement.restore, 10, "-ERR\r\n");
        EXPECT_EQ(replaceEntry(session, prompter, kReplacement, kRemove, kAdd), c.replaced) << c.name;
        EXPECT_TRUE(session.done()) << c.name;
        EXPECT_EQ(prompter.messages, c.messages) << c.name;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.name;
    }
}

// The two readings of the server list share their time-out text and tell a refusal each in the words
// of the window that asks, so each text is looked up where its translation is.
TEST(ServerClientQueries, TheServerListReadingsLookEachTextUpInItsOwnContext) {
    ContextTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const QString timeout =
        QStringLiteral("kvx::HostEntry|Get Server host address is timeout. Check Lumeno-KVX and Try again.");
    EXPECT_EQ(kServerListQuery.emptyText(), timeout);
    EXPECT_EQ(kHostQuery.emptyText(), timeout);
    EXPECT_EQ(kServerListQuery.refusedText(),
              QStringLiteral("kvx::ClientModeWindow|Get Server host address is Failed. Try again."));
    EXPECT_EQ(kHostQuery.refusedText(),
              QStringLiteral("kvx::ClientSettingWindow|Input IP Address and Port Number."));
    EXPECT_EQ(kDeviceListQuery.refusedText(),
              QStringLiteral("kvx::ServerModeWindow|Bind is Failed. Try again."));
    QCoreApplication::removeTranslator(&translator);
}
