#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace kvx {

class DeviceConnection;
class DeviceSession;
class Prompter;

// The one protocol rule every window and kvx100ctl follows: send, wait; an empty reply is silence (its
// message, and the reconnect request); a reply the success test refuses is a refusal (its message);
// otherwise go on. A table entry states the rule's parts for one command; runQuery() carries it out.
struct QueryStep {
    // How a reply counts as the device's acceptance.
    enum class Success {
        StartsWithOk,           // the reply begins with "+OK"
        ContainsOk,             // "+OK" stands anywhere in the reply
        ExactlyOk,              // the reply without its CR LF is "+OK"
        AnyReply,               // any reply at all; only silence fails
        NormalisedStartsWithOk, // the reply without its CR LF begins with "+OK"
        NoErrAtStart,           // the reply does not begin with "-ERR"
        Parsed,                 // the caller's reading of the values judges (runQuery's `judge`)
    };

    std::string_view command; // the line as sent, CR LF included; "" when the caller builds it
    int wait;                 // seconds; 0 waits for the first receive, bounded
    Success success;
    // The texts shown: `context` is the translation context (the area's), the texts its source texts;
    // nullptr shows nothing.
    const char* context;
    const char* emptyMessage;
    const char* refusedMessage;
    bool reconnectAfterSilence = true;
    // A refusal reported as silence is, with the reconnect request.
    bool reconnectAfterRefusal = false;
    // The refusal text's own context where it differs: a reading shared by windows that tell its
    // refusal each in their own words.
    const char* refusedContext = nullptr;

    // The translated texts.
    QString emptyText() const;
    QString refusedText() const;
    // False for a Parsed step: only its reader can tell.
    bool accepts(std::string_view reply) const;
};

// Reads the values out of a reply to a Parsed step; false when the reply holds none.
using ReplyJudge = std::function<bool(std::string_view reply)>;

// What one run of a step came to. `reply` is the whole reply, whatever the outcome.
struct QueryOutcome {
    // Unasked: during a reading, a reply came that no command asked for, or the reply is not in the
    // form its command's answer has; the reading's values may belong to other commands.
    enum class Kind { Accepted, Silent, Refused, Unasked } kind = Kind::Silent;
    std::string reply;
    std::string command; // as sent

    bool accepted() const { return kind == Kind::Accepted; }
    explicit operator bool() const { return accepted(); }
    // The reply without its closing CR LF.
    std::string_view normalised() const;
};

// Several queries whose replies are used together: a page or window load, a backup, the reading of
// diff, apply and metrics. The protocol numbers no request, so a line the device sends unasked is taken
// as the next command's reply and shifts every later one; the displaced true reply then waits for the
// drain before the next command. While a Reading lives, bytes found there fail the query that finds
// them (Kind::Unasked), and finish() looks once more after the last reply.
class Reading {
public:
    // What was left over from before the reading goes to the transcript first: it belongs to none of
    // the reading's commands.
    explicit Reading(DeviceConnection& connection);
    ~Reading();
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    // How long the last look waits for a reply displaced by an unasked line: such a reply follows its
    // line at once, as every reply follows its command.
    static constexpr std::chrono::milliseconds kLastLook{150};

    // After the reading's last reply: true when its values may be used. Otherwise the message is shown,
    // naming `lastCommand`.
    bool finish(Prompter& prompter, std::string_view lastCommand);
    // The same, without a message, for a caller that reports in its own way.
    bool finish();
    bool disturbed() const;

private:
    DeviceConnection& m_connection;
    unsigned m_unaskedAtStart;
};

// The message of a reading that met a reply nobody asked for, naming the command where it showed.
QString unaskedReplyText(std::string_view command);
// A reply in the form of a value's answer: one line, "+OK ..." or a refusal.
bool isValueReply(std::string_view reply);
// A reply in the form of a list's answer: lines closed by a "+OK" line, or a refusal.
bool isListReply(std::string_view reply);

// Runs `step`, with `command` instead of the step's own when the caller built the line (values typed
// or read), and shows its message and posts its request on failure. A Parsed step is judged by `judge`.
QueryOutcome runQuery(DeviceSession& session, Prompter& prompter, const QueryStep& step,
                      std::string_view command = {}, const ReplyJudge& judge = {});

// runQuery() in its two halves, for a window that must act between the reply and its message.
QueryOutcome askQuery(DeviceSession& session, const QueryStep& step, std::string_view command = {},
                      const ReplyJudge& judge = {});
// `more` follows the step's message on a line of its own (where a partial file was kept, say).
void reportFailure(DeviceSession& session, Prompter& prompter, const QueryStep& step,
                   const QueryOutcome& outcome, const QString& more = {});

} // namespace kvx
