#pragma once

#include "core/query.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kvx {

class DeviceSession;
class Prompter;
class WindowLoad;

// Whether the values that a window sends back with Apply or OK were read whole from the device on
// this connection. The fields of a load that failed in part hold values the device never gave (the
// ones the window started with, or another device's), and sending them would write those over the
// device's own; so a window sends nothing while its mark is clear. Only a load sets it (see
// WindowLoad); the window clears it when its connection is replaced, and when it closes.
class ReadMark {
public:
    bool isSet() const { return m_set; }
    void clear() { m_set = false; }
    // Before the first value goes out: true when the values were read; otherwise tells the operator
    // why nothing is sent.
    bool allowsSending(Prompter& prompter) const;
    // Clears the mark whenever `window` closes or is hidden by the program, so that the next showing
    // reads again before anything goes back.
    void clearWhenHidden(QWidget& window);

private:
    friend class WindowLoad;
    bool m_set = false;
};

// What ReadMark::allowsSending() tells the operator.
QString unreadValuesText();

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
//
// Given a ReadMark, the load clears it as it starts and sets it when what it read goes on show and
// none of its queries failed (up to valuesRead(), where the window calls it).
class WindowLoad {
public:
    WindowLoad(DeviceSession& session, Prompter& prompter, ReadMark* mark = nullptr);
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

    // Every value the window sends back has been asked for by now: a query after this one that fails
    // (a list shown beside the values) leaves the mark as the queries before it left it.
    void valuesRead();

private:
    bool disturbed() const;
    void end(bool shown, bool ranToEnd);

    DeviceSession& m_session;
    Prompter& m_prompter;
    Reading m_reading;
    std::vector<std::function<void()>> m_shows;
    std::string m_lastCommand;
    ReadMark* m_mark;
    // Whether the values were read whole, as valuesRead() found them.
    std::optional<bool> m_valuesWhole;
    bool m_queryFailed = false;
    bool m_outOfForm = false;
    bool m_ended = false;
};

} // namespace kvx
