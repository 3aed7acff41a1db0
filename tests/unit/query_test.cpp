#include "core/query.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

// Each success test against the replies that tell them apart, and what each outcome shows and asks.
TEST(Query, OneStepRunsTheWholeRule) {
    using S = QueryStep::Success;
    using K = QueryOutcome::Kind;
    struct Case {
        S success;
        bool reconnectAfterRefusal;
        const char* reply;
        K kind;
        const char* message;
        int reconnects;
    };
    const Case cases[] = {
        {S::StartsWithOk, false, "+OK 7\r\n", K::Accepted, nullptr, 0},
        {S::StartsWithOk, false, "x +OK\r\n", K::Refused, "refused", 0},
        {S::ContainsOk, false, "x +OK\r\n", K::Accepted, nullptr, 0},
        {S::ExactlyOk, false, "+OK 7\r\n", K::Refused, "refused", 0},
        {S::ExactlyOk, false, "+OK\r\n", K::Accepted, nullptr, 0},
        {S::AnyReply, false, "-ERR\r\n", K::Accepted, nullptr, 0},
        {S::StartsWithOk, false, "+OK", K::Accepted, nullptr, 0},
        {S::NormalisedStartsWithOk, false, "+OK", K::Refused, "refused", 0},
        {S::NormalisedStartsWithOk, false, "+OK 7\r\n", K::Accepted, nullptr, 0},
        {S::NoErrAtStart, false, "1|x\r\n-ERR\r\n", K::Accepted, nullptr, 0},
        {S::NoErrAtStart, false, "-ERR\r\n", K::Refused, "refused", 0},
        {S::StartsWithOk, false, "", K::Silent, "silent", 1},
        {S::StartsWithOk, true, "-ERR\r\n", K::Refused, "refused", 1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("Maxdt\r\n", 2, c.reply);
        const QueryStep step{"Maxdt\r\n", 2,         c.success, "Test",
                             "silent",    "refused", true,      c.reconnectAfterRefusal};
        const QueryOutcome outcome = runQuery(session, prompter, step);
        EXPECT_EQ(outcome.kind, c.kind) << c.reply;
        EXPECT_EQ(outcome.reply, c.reply);
        EXPECT_EQ(prompter.messages, c.message ? QStringList{QLatin1String(c.message)} : QStringList())
            << c.reply;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.reply;
    }
}

TEST(Query, ACommandBuiltByTheCallerReplacesTheTablesAndNoTextShowsNothing) {
    ScriptedSession session;
    RecordingPrompter prompter;
    session.expect("Port 9100\r\n", 1, "");
    const QueryStep step{"", 1, QueryStep::Success::ExactlyOk, "Test", nullptr, nullptr, false};
    EXPECT_FALSE(runQuery(session, prompter, step, "Port 9100\r\n"));
    EXPECT_TRUE(session.done());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(session.reconnects, 0);
}

// The reader of a Parsed step's values is its success test; silence never reaches it.
TEST(Query, AParsedStepIsJudgedByItsReader) {
    const QueryStep step{"pinq\r\n", 3, QueryStep::Success::Parsed, "Test", "silent", "refused", false};
    struct Case {
        const char* reply;
        bool readable;
        QueryOutcome::Kind kind;
        QStringList messages;
        int judged;
    };
    const Case cases[] = {
        {"+OK on\r\n", true, QueryOutcome::Kind::Accepted, {}, 1},
        {"+OK ?\r\n", false, QueryOutcome::Kind::Refused, {QStringLiteral("refused")}, 1},
        {"", true, QueryOutcome::Kind::Silent, {QStringLiteral("silent")}, 0},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        session.expect("pinq\r\n", 3, c.reply);
        int judged = 0;
        const QueryOutcome outcome = runQuery(session, prompter, step, {}, [&](std::string_view reply) {
            ++judged;
            EXPECT_EQ(reply, c.reply);
            return c.readable;
        });
        EXPECT_EQ(outcome.kind, c.kind) << c.reply;
        EXPECT_EQ(prompter.messages, c.messages) << c.reply;
        EXPECT_EQ(judged, c.judged) << c.reply;
        EXPECT_EQ(session.reconnects, 0);
    }
}
