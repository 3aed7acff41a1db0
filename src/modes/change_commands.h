#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kvx {

class DeviceSession;
class Prompter;

// Sends one command that changes the device and expects the normalised reply to be `confirmation`
// exactly. False when it was not: the time-out text and the reconnect request after silence, the failure
// text after any other reply.
bool sendChange(DeviceSession& session, Prompter& prompter, std::string_view command, int waitSeconds,
                const QString& timeoutText, const QString& failText, std::string_view confirmation = "+OK");

// A table entry replaced on the device in two steps: the old entry is released, then the new one added.
// The device has no single command for it.
struct EntryReplacement {
    std::string release;
    std::string add;
    // Adds the old entry again. Sent once when the add fails after the release went through, so that the
    // device keeps the entry that the window's table still shows.
    std::string restore;
};
// True when the device took the new entry; otherwise the texts are shown as for sendChange.
bool replaceEntry(DeviceSession& session, Prompter& prompter, const EntryReplacement& commands,
                  const QString& timeoutText, const QString& failText);

} // namespace kvx
