#pragma once

#include "core/query.h"

#include <functional>
#include <string>
#include <vector>

namespace kvx {

class DeviceSession;
class Prompter;

// The form of a reply that a step's own success test does not already hold it to. A reply out of form
// is taken for one that belongs to another command.
enum class ReplyForm {
    Any,   // the step's own test alone
    Value, // "+OK ..." or a refusal
    // Lines closed by a "+OK" line, or a refusal. A list cut in the middle of a line passes: the window
    // reports it as imperfect itself.
    List,
};
bool inReplyForm(std::string_view reply, ReplyForm form);

// One load of a page or a settings window: the queries whose replies are shown together, mostly in
// fields that Apply or OK later sends back. They run as one Reading (see core/query.h): the protocol
// numbers no request, so a reply nobody asked for shifts every later one, and a value shown from it
// would go back to the device as if the operator had typed it.
//
// What the load shows waits until it is known whose replies it came from. A load that met a reply
// nobody asked for (at a query, or in the last look of finish()) says so, sends nothing more and shows
// nothing it read. A load ended by any other failed query shows what it read before that query, as
// a load always has.
class WindowLoad {
public:
    WindowLoad(DeviceSession& session, Prompter& prompter);
    // Without finish(): the load ended at a failed query, and what it read before goes on show unless
    // a reply nobody asked for came.
    ~WindowLoad();
    WindowLoad(const WindowLoad&) = delete;
    WindowLoad& operator=(const WindowLoad&) = delete;

    // runQuery() within the reading; a reply out of `form` fails as one nobody asked for. Once the
    // reading met such a reply, nothing more is sent and every query comes out Unasked, without a
    // further message.
    QueryOutcome run(const QueryStep& step, ReplyForm form = ReplyForm::Any, const ReplyJudge& judge = {});

    // What the window shows of the reading, put on show once the reading is known to be its own.
    void show(std::function<void()> action);

    // After the last query of a load that ran to its end: looks once more for a reply nobody asked for
    // and tells of it; otherwise puts what was read on show. True when it did.
    bool finish();

private:
    bool disturbed() const;
    void end(bool shown);

    DeviceSession& m_session;
    Prompter& m_prompter;
    Reading m_reading;
    std::vector<std::function<void()>> m_shows;
    std::string m_lastCommand;
    bool m_outOfForm = false;
    bool m_ended = false;
};

} // namespace kvx
