#include "modes/change_commands.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kTimeout = QStringLiteral("timed out");
const QString kFail = QStringLiteral("failed");
const EntryReplacement kReplacement{"Rele 9101\r\n", "Bind Scale 9105\r\n", "Bind Printer 9101\r\n"};

} // namespace

TEST(ChangeCommands, ReplacementRestoresTheOldEntryWhenOnlyTheReleaseWentThrough) {
    struct Case {
        const char* name;
        const char* releaseReply;
        const char* addReply; // nullptr: not sent
        bool restored;
        bool replaced;
        QStringList messages;
        int reconnects;
    };
    const Case cases[] = {
        {"both taken", "+OK\r\n", "+OK\r\n", false, true, {}, 0},
        {"release silent", "", nullptr, false, false, {kTimeout}, 1},
        {"release refused", "-ERR\r\n", nullptr, false, false, {kFail}, 0},
        {"release without its CR LF", "+OK", nullptr, false, false, {kFail}, 0},
        {"add refused", "+OK\r\n", "-ERR Already registered\r\n", true, false, {kFail}, 0},
        {"add silent", "+OK\r\n", "", true, false, {kTimeout}, 1},
        {"add answered with more than +OK", "+OK\r\n", "+OK done\r\n", true, false, {kFail}, 0},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect(kReplacement.release, 0, c.releaseReply);
        if (c.addReply)
            session.expect(kReplacement.add, 10, c.addReply);
        // The restore's own answer changes nothing: the message is that of the failed add.
        if (c.restored)
            session.expect(kReplacement.restore, 10, "-ERR\r\n");
        EXPECT_EQ(replaceEntry(session, prompter, kReplacement, kTimeout, kFail), c.replaced) << c.name;
        EXPECT_TRUE(session.done()) << c.name;
        EXPECT_EQ(prompter.messages, c.messages) << c.name;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.name;
    }
}
