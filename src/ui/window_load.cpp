#include "window_load.h"

#include "core/device_session.h"
#include "core/prompter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace kvx {
namespace {

class HideWatch : public QObject {
public:
    HideWatch(QWidget& window, ReadMark& mark)
        : QObject(&window)
        , m_mark(mark) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        // A window minimised by the operator keeps what it read; one closed or hidden by the program
        // reads again when it shows next.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            m_mark.clear();
        return false;
    }

private:
    ReadMark& m_mark;
};

} // namespace

QString unreadValuesText() {
    return QCoreApplication::translate(
        "kvx::ReadMark", "Nothing was sent: the settings shown were not all read from the device on this "
                         "connection, and sending them would write values the device never gave. Open the "
                         "window or the tab again to read them, then try again.");
}

bool ReadMark::allowsSending(Prompter& prompter) const {
    if (!m_set)
        prompter.message(unreadValuesText());
    return m_set;
}

void ReadMark::clearWhenHidden(QWidget& window) {
    new HideWatch(window, *this);
}

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

WindowLoad::WindowLoad(DeviceSession& session, Prompter& prompter, ReadMark* mark)
    : m_session(session)
    , m_prompter(prompter)
    , m_reading(session)
    , m_mark(mark) {
    if (m_mark)
        m_mark->clear();
}

WindowLoad::~WindowLoad() {
    if (!m_ended)
        end(!disturbed(), false);
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
    if (!outcome)
        m_queryFailed = true;
    reportFailure(m_session, m_prompter, step, outcome);
    return outcome;
}

void WindowLoad::show(std::function<void()> action) {
    m_shows.push_back(std::move(action));
}

bool WindowLoad::finish() {
    // A load disturbed at a query has said so there.
    const bool shown = !disturbed() && m_reading.finish(m_prompter, m_lastCommand);
    end(shown, true);
    return shown;
}

void WindowLoad::valuesRead() {
    if (!m_valuesWhole)
        m_valuesWhole = !m_queryFailed;
}

void WindowLoad::end(bool shown, bool ranToEnd) {
    m_ended = true;
    if (!shown)
        return;
    // A load that ended at a failed query before valuesRead() read its values in part.
    if (m_mark)
        m_mark->m_set = m_valuesWhole.value_or(ranToEnd && !m_queryFailed);
    for (const std::function<void()>& action : m_shows)
        action();
}

} // namespace kvx
