#pragma once

#include "core/profile_file.h"
#include "fleet/device_metrics.h"
#include "fleet/fleet_session.h"

#include <QJsonValue>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvx::fleet {

enum class Command { Discover, Info, Backup, Restore, Log, Diff, Send, Apply, Metrics };

// What a command needs besides the device: the file it reads or writes (for several devices a folder
// for backup and log; "-" is the standard output for a backup), the raw command of `send` and its
// wait, and how apply goes about it.
struct CommandSettings {
    Command command = Command::Info;
    ConnectSettings connect;
    QString file;
    bool fileIsFolder = false;
    std::string rawCommand;
    int wait = 10;
    bool check = false;        // apply: tell what would change, change nothing
    bool replace = false;      // apply: also remove list entries the file does not hold
    ProfileFile configuration; // restore, diff, apply: the file, read once for all devices
};

// One device to work on, with what an inventory says about it.
struct Device {
    HostAddress address;
    std::string name;
    std::optional<Credentials> credentials; // else the command line's
    std::vector<std::string> groups;
    // What ${...} in a configuration file stands for on this device; "host" and "name" among them.
    std::map<std::string, std::string> variables;
    std::string origin; // where its variables were given: "line 4 of fleet.ini"; empty without
    std::string label() const { return address.label(); }
};

// A setting or list entry in which a device and a file differ. For a list entry `item` is the entry's
// text, and a side that lacks the entry has nothing.
struct Difference {
    std::string group;
    std::string item;
    std::optional<std::string> device;
    std::optional<std::string> file;
    bool operator==(const Difference&) const = default;
};

// The values info gives as JSON members and CSV columns, in this order; a value the device did not
// tell is missing from the JSON and empty in the CSV. "links" is the list of live links.
inline constexpr const char* kInfoFields[] = {
    "product",      "model",       "serial",   "ip",       "port",  "mac",
    "bluetooth",    "firmware",    "mode",     "name",     "maxdt", "link_timeout",
    "discoverable", "connectable", "security", "pairable", "links"};

// One device's line of the report.
struct DeviceOutcome {
    std::string host;
    bool ok = false;
    bool different = false; // diff: the device differs from the file; apply --check: it would change
    bool changed = false;   // apply: the device accepted a setting line, also when the run then failed
    std::vector<Difference> differences; // diff and apply: found before anything was sent
    std::vector<std::string> groups;     // apply: the groups changed, or that would change
    std::vector<std::string> sent;       // apply: the setting lines the device accepted, as sent
    DeviceMetrics metrics;
    // info: each value read, under its name of kInfoFields; numbers, flags and text as JSON gives them
    // (a value the device sent that has no meaning here is null), the links as an array of objects.
    std::vector<std::pair<std::string, QJsonValue>> values;
    std::string step;     // where it failed, or the command when it succeeded
    QStringList messages; // what the windows would have shown
    std::string output;   // what the command prints for this device
};

// Called with short texts while the device is worked on ("login", "backup 5/19 BIND").
using ProgressSink = std::function<void(const std::string&)>;

// Connects to the device, logs in and runs the command, as the windows do.
DeviceOutcome runOnDevice(const CommandSettings& settings, const Device& device, const ProgressSink& progress,
                          Transcript& transcript);

// Sends the device its reboot command, as the Information page's Reboot does; the device is not waited
// for to come back.
DeviceOutcome rebootDevice(const CommandSettings& settings, const Device& device,
                           const ProgressSink& progress);

// The command line's connection settings with the device's own credentials, when it has any.
ConnectSettings connectSettingsFor(const CommandSettings& settings, const Device& device);

// Decimal digits as a JSON number (a port, a count); anything else is null.
QJsonValue decimalValue(std::string_view text);

// Where a device's own file goes when one folder holds the files of several.
QString fileInFolder(const QString& folder, const HostAddress& host, const char* extension);

} // namespace kvx::fleet
