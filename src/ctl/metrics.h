#pragma once

#include "ctl/command_line.h"
#include "ctl/device_commands.h"
#include "ctl/invocation.h"

#include <vector>

namespace kvx::ctl {

// Connects, logs in and reads what the metrics show; a device that cannot be reached or refuses the
// login still gives an outcome, whose metrics say how far it got.
DeviceOutcome scrapeDevice(const CommandSettings& settings, const Device& device,
                           const ProgressSink& progress, Transcript& transcript);

// The devices' metrics in the Prometheus text format, to the standard output or, with a folder given,
// into kvx100ctl.prom there, replaced whole; the failures go to the error stream as in every report.
// False, after saying why, when the file cannot be written.
bool reportMetrics(const Invocation& run, const std::vector<DeviceOutcome>& outcomes, Console& console);

} // namespace kvx::ctl
