#pragma once

#include "core/profile_file.h"

#include <QCoreApplication>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

class DeviceSession;
class Prompter;
class ProcedureProgress;

// One command line of a restore and how its reply is judged.
struct RestoreStep {
    enum class Check {
        None,       // the reply is not looked at
        Answered,   // an empty reply ends the restore and asks for a new connection
        SerialMode, // as Answered, and anything but "+OK" means the console switch is not in data mode
        RouteAdded, // an empty reply ends the restore, the connection is kept
    };
    std::string command;
    Check check;
    std::string group; // the section the values came from
    bool operator==(const RestoreStep&) const = default;
};

// How the reply to a restore line is asked for and judged.
struct QueryStep;
const QueryStep& restoreQueryOf(RestoreStep::Check check);

// Every command a configuration file gives, in the order they are sent.
std::vector<RestoreStep> restoreSteps(const ProfileFile& file);

// The Restore button: replays a configuration file written by the backup to the device.
class ConfigRestore {
    Q_DECLARE_TR_FUNCTIONS(ConfigRestore)
public:
    // NotRead: the file is not a regular file within the size bound; Refused: it holds what cannot be
    // sent. Nothing is sent after either.
    enum class Result {
        Completed,
        ConnectionActive,
        Cancelled,
        TimedOut,
        SerialModeRefused,
        NotRead,
        Refused
    };

    ConfigRestore(DeviceSession& session, Prompter& prompter, ProcedureProgress& progress);
    Result run();

    // The one gate for lines built from a file: why the file (after any variables were replaced) must
    // not be sent at all, naming `path` and the line; empty when its steps may go to the device. Restore,
    // diff and apply all pass it before the first byte goes out.
    static QString refusalOf(const ProfileFile& file, const QString& path);
    // The setting whose value the gate refuses, if one is the cause.
    static std::optional<ProfileFile::Setting> unsendableSetting(const ProfileFile& file);
    // The longest value the gate lets through: far above any real setting, and a device line buffer
    // still holds the command it makes.
    static constexpr std::size_t kMaxValueBytes = 1024;
    // The file already read and passed through the gate by the caller: the connection check, then its
    // lines.
    Result runFile(const ProfileFile& file);

private:
    Result sendAll(const ProfileFile& file);
    Result send(const std::vector<RestoreStep>& steps);

    DeviceSession& m_session;
    Prompter& m_prompter;
    ProcedureProgress& m_progress;
};

} // namespace kvx
