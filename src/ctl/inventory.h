#pragma once

#include "ctl/cli_session.h"

#include <QByteArray>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvx {
class ProfileFile;
}

namespace kvx::ctl {

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

} // namespace kvx::ctl
