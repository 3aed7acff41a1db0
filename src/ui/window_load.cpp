#include "window_load.h"

#include "core/device_session.h"

namespace kvx {

bool inReplyForm(std::string_view reply, ReplyForm form) {
    switch (form) {
    case ReplyForm::Any:
        return true;
    case ReplyForm::Value:
        return isValueReply(reply);
    case ReplyForm::List:
        return isListReply(reply) || !reply.ends_with('\n');
    }
    return true;
}

WindowLoad::WindowLoad(DeviceSession& session, Prompter& prompter)
    : m_session(session)
    , m_prompter(prompter)
    , m_reading(session) {}

WindowLoad::~WindowLoad() {
    if (!m_ended)
        end(!disturbed());
}

bool WindowLoad::disturbed() const {
    return m_outOfForm || m_reading.disturbed();
}

QueryOutcome WindowLoad::run(const QueryStep& step, ReplyForm form, const ReplyJudge& judge) {
    QueryOutcome outcome;
    outcome.command = step.command;
    // A reply nobody asked for is told once, by the query that met it.
    if (disturbed()) {
        outcome.kind = QueryOutcome::Kind::Unasked;
        return outcome;
    }
    outcome = askQuery(m_session, step, {}, judge);
    m_lastCommand = outcome.command;
    if (outcome.kind != QueryOutcome::Kind::Silent && outcome.kind != QueryOutcome::Kind::Unasked &&
        !inReplyForm(outcome.reply, form)) {
        outcome.kind = QueryOutcome::Kind::Unasked;
        m_outOfForm = true;
    }
    reportFailure(m_session, m_prompter, step, outcome);
    return outcome;
}

void WindowLoad::show(std::function<void()> action) {
    m_shows.push_back(std::move(action));
}

bool WindowLoad::finish() {
    // A load disturbed at a query has said so there.
    const bool shown = !disturbed() && m_reading.finish(m_prompter, m_lastCommand);
    end(shown);
    return shown;
}

void WindowLoad::end(bool shown) {
    m_ended = true;
    if (!shown)
        return;
    for (const std::function<void()>& action : m_shows)
        action();
}

} // namespace kvx
