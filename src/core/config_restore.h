#pragma once

#include <QCoreApplication>
#include <string>
#include <vector>

namespace kvx {

class DeviceSession;
class Prompter;
class ProcedureProgress;
class ProfileFile;

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

    // Why the file must not be sent at all, naming `path`; empty when its steps may go to the device.
    static QString refusalOf(const ProfileFile& file, const QString& path);

private:
    Result send(const std::vector<RestoreStep>& steps);

    DeviceSession& m_session;
    Prompter& m_prompter;
    ProcedureProgress& m_progress;
};

} // namespace kvx
