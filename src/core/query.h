#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace kvx {

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
    enum class Kind { Accepted, Silent, Refused } kind = Kind::Silent;
    std::string reply;

    bool accepted() const { return kind == Kind::Accepted; }
    explicit operator bool() const { return accepted(); }
    // The reply without its closing CR LF.
    std::string_view normalised() const;
};

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
