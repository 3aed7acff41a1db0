#pragma once

#include "ctl/command_line.h"
#include "ctl/invocation.h"
#include "fleet/device_commands.h"

#include <vector>

namespace kvx::ctl {

// The devices' metrics in the Prometheus text format, to the standard output or, with a folder given,
// into kvx100ctl.prom there, replaced whole; the failures go to the error stream as in every report.
// False, after saying why, when the file cannot be written.
bool reportMetrics(const Invocation& run, const std::vector<fleet::DeviceOutcome>& outcomes,
                   Console& console);

} // namespace kvx::ctl
