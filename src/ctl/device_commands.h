#pragma once

#include "ctl/cli_session.h"

#include <QString>
#include <functional>
#include <string>

namespace kvx::ctl {

enum class Command { Discover, Info, Backup, Restore, Log, Diff, Send };

// What a command needs besides the device: the file it reads or writes (for several devices a folder
// for backup and log), the raw command of `send` and its wait.
struct CommandSettings {
    Command command = Command::Info;
    ConnectSettings connect;
    QString file;
    bool fileIsFolder = false;
    std::string rawCommand;
    int wait = 10;
};

// One device's line of the report.
struct DeviceOutcome {
    std::string host;
    bool ok = false;
    bool different = false; // diff: the device differs from the file
    std::string step;       // where it failed, or the command when it succeeded
    QStringList messages;   // what the windows would have shown
    std::string output;     // what the command prints for this device
};

// Called with short texts while the device is worked on ("login", "backup 5/19 BIND").
using ProgressSink = std::function<void(const std::string&)>;

// Connects to the device, logs in and runs the command, as the windows do.
DeviceOutcome runOnDevice(const CommandSettings& settings, const HostAddress& host,
                          const ProgressSink& progress, Transcript& transcript);

// Where a device's own file goes when one folder holds the files of several.
QString fileInFolder(const QString& folder, const HostAddress& host, const char* extension);

// The settings in which two configuration files differ, one line each: "SECTION Key: device X, file Y".
std::vector<std::string> configurationDifferences(const QString& devicePath, const QString& filePath);

} // namespace kvx::ctl
