#pragma once

#include "fleet/device_commands.h"
#include "fleet/fleet_session.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvx {
class ProfileFile;
}

namespace kvx::fleet {

// The largest inventory read (tens of thousands of devices) and password file (one line of password).
inline constexpr qint64 kMaxInventoryBytes = 1 << 20;
inline constexpr qint64 kMaxPasswordFileBytes = 4 << 10;

// Calls `take` with each line of a list file, without blanks at its ends, and its number from 1, skipping
// blank lines and lines starting with one of `comments`; stops when `take` returns false.
void forEachListLine(const QByteArray& text, std::string_view comments,
                     const std::function<bool(std::string_view line, int number)>& take);

// One device of an inventory file, as written there.
struct InventoryEntry {
    HostAddress address;
    std::string name;
    std::string user;         // empty: the command line's
    std::string passwordFile; // empty: the command line's
    std::vector<std::string> groups;
    std::map<std::string, std::string> variables; // every key=value of its lines, name included
    int line = 0;
};

// An inventory: "[group]" lines start a group, "HOST[:PORT] key=value ..." lines name a device of the
// group (or of none, before the first group), blank lines and lines starting with "#" or ";" are
// skipped. A value is a word or a double-quoted text in which \" and \\ stand for themselves. The keys
// name, user and password_file are the device's own; every key is also a variable of its files. A
// device listed again, under another group, joins that group too; keys it repeats must agree.
// Nothing, with `error` naming the line, when a line cannot be read.
std::optional<std::vector<InventoryEntry>> parseInventory(const QByteArray& text, std::string& error);

// The names of the ${variable} references in a value, in order.
std::vector<std::string> variablesIn(std::string_view value);

// Replaces every ${variable} in the file's values by the device's value for it; a "${" that does not
// begin a variable name stands as written. When the device lacks a variable, the file is left as it
// was and the text says which.
std::optional<std::string> expandVariables(ProfileFile& file,
                                           const std::map<std::string, std::string>& variables);

// The first line of a password file, read only when nobody but the user can read or change it; nothing,
// with `error` saying why, otherwise.
std::optional<std::string> readPasswordFile(const QString& path, std::string& error);

// The devices an inventory file names, with their own credentials (each password file read once) and
// variables; `groups`, when given, selects them. Nothing, with `error` saying why, when the file, a line
// of it, a group asked for or a password file cannot be read.
std::optional<std::vector<Device>> devicesFromInventory(const QString& path, const QStringList& groups,
                                                        std::string& error);

} // namespace kvx::fleet
