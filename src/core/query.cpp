#include "query.h"

#include "core/device_session.h"
#include "core/prompter.h"
#include "core/vocabulary.h"

#include <QCoreApplication>

namespace kvx {
namespace {

QString translated(const char* context, const char* text) {
    return text == nullptr ? QString() : QCoreApplication::translate(context, text);
}

} // namespace

QString QueryStep::emptyText() const {
    return translated(context, emptyMessage);
}

QString QueryStep::refusedText() const {
    return translated(refusedContext != nullptr ? refusedContext : context, refusedMessage);
}

bool QueryStep::accepts(std::string_view reply) const {
    switch (success) {
    case Success::StartsWithOk:
        return startsWithOk(reply);
    case Success::ContainsOk:
        return containsOk(reply);
    case Success::ExactlyOk:
        return normalisedReply(reply) == "+OK";
    case Success::AnyReply:
        return true;
    case Success::NormalisedStartsWithOk:
        return startsWithOk(normalisedReply(reply));
    case Success::NoErrAtStart:
        return !reply.starts_with("-ERR");
    case Success::Parsed:
        return false;
    }
    return false;
}

std::string_view QueryOutcome::normalised() const {
    return normalisedReply(reply);
}

QueryOutcome askQuery(DeviceSession& session, const QueryStep& step, std::string_view command,
                      const ReplyJudge& judge) {
    Q_ASSERT((step.success == QueryStep::Success::Parsed) == bool(judge));
    QueryOutcome outcome;
    outcome.reply = session.transact(command.empty() ? step.command : command, step.wait);
    if (outcome.reply.empty())
        outcome.kind = QueryOutcome::Kind::Silent;
    else if (judge ? judge(outcome.reply) : step.accepts(outcome.reply))
        outcome.kind = QueryOutcome::Kind::Accepted;
    else
        outcome.kind = QueryOutcome::Kind::Refused;
    return outcome;
}

void reportFailure(DeviceSession& session, Prompter& prompter, const QueryStep& step,
                   const QueryOutcome& outcome, const QString& more) {
    if (outcome.accepted())
        return;
    const bool silent = outcome.kind == QueryOutcome::Kind::Silent;
    if ((silent ? step.emptyMessage : step.refusedMessage) != nullptr)
        prompter.message((silent ? step.emptyText() : step.refusedText()) +
                         (more.isEmpty() ? QString() : QStringLiteral("\r\n") + more));
    if (silent ? step.reconnectAfterSilence : step.reconnectAfterRefusal)
        session.postReconnect();
}

QueryOutcome runQuery(DeviceSession& session, Prompter& prompter, const QueryStep& step,
                      std::string_view command, const ReplyJudge& judge) {
    QueryOutcome outcome = askQuery(session, step, command, judge);
    reportFailure(session, prompter, step, outcome);
    return outcome;
}

} // namespace kvx
