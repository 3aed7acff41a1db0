#pragma once

#include "core/config_restore.h"
#include "fleet/device_commands.h"

#include <optional>
#include <string>
#include <vector>

namespace kvx {
class ProfileFile;
}

namespace kvx::fleet {

// How the entries of a list (bound devices, servers, routes) are compared: the device must hold
// exactly the file's, or at least them.
enum class ListMatch { Exact, Contains };

// What a configuration file holds that the device (as a backup reads it) does not, group by group in
// the backup's order. Only what the file holds counts: each of its keys against the device's value, and
// a list when the file holds its SUM, entry by entry in any order.
std::vector<Difference> differencesOf(const ProfileFile& device, const ProfileFile& file, ListMatch lists);

// "MAXDT Maxdt: device "3", file "7"", or "BIND entry "Scanner 9102": on the device only".
std::string differenceText(const Difference& difference);

// The lines that bring the device to the file, make before break: the restore's lines of each group
// that differs, with the values the file lacks taken from the device; then the list entries the device
// lacks (each route's From with all its To addresses, as the restore sends it); then the release or
// deletion of entries the file does not hold, except where an entry to add needs the very port or name
// (its removal then goes just before it). Routes cannot be removed one by one: the table is emptied
// last and the file's routes added anew.
struct ApplyPlan {
    std::vector<std::string> groups;
    std::vector<RestoreStep> steps;
    // Where steps empties the route table ("route ptp"), if it does; a run that fails from there on
    // puts the device's own routes back with `routesBack`.
    std::optional<std::size_t> routesCleared;
    std::vector<RestoreStep> routesBack;
};
ApplyPlan planApply(const ProfileFile& device, const ProfileFile& file,
                    const std::vector<Difference>& differences);

} // namespace kvx::fleet
