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

Reading::Reading(DeviceConnection& connection)
    : m_connection(connection) {
    m_connection.lookForUnasked(std::chrono::milliseconds(0));
    m_unaskedAtStart = m_connection.unaskedReplies();
    ++m_connection.readingDepth();
}

Reading::~Reading() {
    --m_connection.readingDepth();
}

bool Reading::disturbed() const {
    return m_connection.unaskedReplies() != m_unaskedAtStart;
}

bool Reading::finish() {
    if (!disturbed())
        m_connection.lookForUnasked(kLastLook);
    return !disturbed();
}

bool Reading::finish(Prompter& prompter, std::string_view lastCommand) {
    if (finish())
        return true;
    prompter.message(unaskedReplyText(lastCommand));
    return false;
}

QString unaskedReplyText(std::string_view command) {
    const std::string_view line = beforeLineEnd(command);
    return QCoreApplication::translate(
               "kvx::Reading",
               "A reply came that no command asked for (seen at \"%1\"), so the values read "
               "may belong to other commands. Nothing was taken from this reading; try again.")
        .arg(QString::fromUtf8(line.data(), qsizetype(line.size())));
}

bool isValueReply(std::string_view reply) {
    // One line: a second one came with it unasked.
    const std::size_t end = reply.find('\n');
    return (reply.starts_with("+OK") || reply.starts_with("-ERR")) &&
           (end == std::string_view::npos || end + 1 == reply.size());
}

bool isListReply(std::string_view reply) {
    if (reply.starts_with("-ERR"))
        return true;
    // The closing line is "+OK" alone, at the start of the reply or after a line end.
    const std::string_view body = normalisedReply(reply);
    const std::size_t start = body.rfind('\n');
    const std::string_view last = start == std::string_view::npos ? body : body.substr(start + 1);
    return last.starts_with("+OK") && reply.ends_with('\n');
}

QueryOutcome askQuery(DeviceSession& session, const QueryStep& step, std::string_view command,
                      const ReplyJudge& judge) {
    Q_ASSERT((step.success == QueryStep::Success::Parsed) == bool(judge));
    QueryOutcome outcome;
    const unsigned unasked = session.unaskedReplies();
    outcome.command = command.empty() ? step.command : command;
    outcome.reply = session.transact(outcome.command, step.wait);
    if (session.readingDepth() > 0 && session.unaskedReplies() != unasked)
        outcome.kind = QueryOutcome::Kind::Unasked;
    else if (outcome.reply.empty())
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
    if (outcome.kind == QueryOutcome::Kind::Unasked) {
        prompter.message(unaskedReplyText(outcome.command) +
                         (more.isEmpty() ? QString() : QStringLiteral("\r\n") + more));
        return;
    }
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
