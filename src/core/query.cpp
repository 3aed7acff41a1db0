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
    return translated(context, refusedMessage);
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
    }
    return false;
}

std::string_view QueryOutcome::normalised() const {
    return normalisedReply(reply);
}

QueryOutcome runQuery(DeviceSession& session, Prompter& prompter, const QueryStep& step,
                      std::string_view command) {
    QueryOutcome outcome;
    outcome.reply = session.transact(command.empty() ? step.command : command, step.wait);
    if (outcome.reply.empty()) {
        outcome.kind = QueryOutcome::Kind::Silent;
        if (step.emptyMessage != nullptr)
            prompter.message(step.emptyText());
        if (step.reconnectAfterSilence)
            session.postReconnect();
        return outcome;
    }
    if (!step.accepts(outcome.reply)) {
        outcome.kind = QueryOutcome::Kind::Refused;
        if (step.refusedMessage != nullptr)
            prompter.message(step.refusedText());
        if (step.reconnectAfterRefusal)
            session.postReconnect();
        return outcome;
    }
    outcome.kind = QueryOutcome::Kind::Accepted;
    return outcome;
}

} // namespace kvx
