#pragma once

#include "core/config_restore.h"
#include "ctl/device_commands.h"

#include <string>
#include <vector>

namespace kvx {
class ProfileFile;
}

namespace kvx::ctl {

// How the entries of a list (bound devices, servers, routes) are compared: the device must hold
// exactly the file's, or at least them.
enum class ListMatch { Exact, Contains };

// What a configuration file holds that the device (as a backup reads it) does not, group by group in
// the backup's order. Only what the file holds counts: each of its keys against the device's value, and
// a list when the file holds its SUM, entry by entry in any order.
std::vector<Difference> differencesOf(const ProfileFile& device, const ProfileFile& file, ListMatch lists);

// "MAXDT Maxdt: device "3", file "7"", or "BIND entry "Scanner 9102": on the device only".
std::string differenceText(const Difference& difference);

// The lines that bring the device to the file: the restore's lines of each group that differs, with
// the values the file lacks taken from the device; for the lists only the missing entries, after the
// release or deletion of entries the file does not hold.
struct ApplyPlan {
    std::vector<std::string> groups;
    std::vector<RestoreStep> steps;
};
ApplyPlan planApply(const ProfileFile& device, const ProfileFile& file,
                    const std::vector<Difference>& differences);

} // namespace kvx::ctl
