#include "change_commands.h"

#include "core/device_session.h"
#include "core/prompter.h"

namespace kvx {
namespace {

constexpr int kReleaseWait = 0;
constexpr int kAddWait = 10;

void report(DeviceSession& session, Prompter& prompter, const std::string& reply, const QString& timeoutText,
            const QString& failText) {
    if (reply.empty()) {
        prompter.message(timeoutText);
        session.postReconnect();
        return;
    }
    prompter.message(failText);
}

} // namespace

bool sendChange(DeviceSession& session, Prompter& prompter, std::string_view command, int waitSeconds,
                const QString& timeoutText, const QString& failText, std::string_view confirmation) {
    const std::string reply = session.transact(command, waitSeconds);
    if (normalisedReply(reply) == confirmation)
        return true;
    report(session, prompter, reply, timeoutText, failText);
    return false;
}

bool replaceEntry(DeviceSession& session, Prompter& prompter, const EntryReplacement& commands,
                  const QString& timeoutText, const QString& failText) {
    if (!sendChange(session, prompter, commands.release, kReleaseWait, timeoutText, failText))
        return false;
    const std::string reply = session.transact(commands.add, kAddWait);
    if (normalisedReply(reply) == "+OK")
        return true;
    // Whatever this answers, the operator learns of the failed change below; a second failure would
    // tell nothing more.
    session.transact(commands.restore, kAddWait);
    report(session, prompter, reply, timeoutText, failText);
    return false;
}

} // namespace kvx
