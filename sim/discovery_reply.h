#pragma once

#include "sim/options.h"

#include <cstdint>
#include <string>

namespace kvx::sim {

// The discovery reply the device sends: marker FA 05 21 EF and eight type-length-value records.
std::string buildDiscoveryReply(const DeviceOptions& options, const std::string& ipAddress,
                                std::uint16_t controlPort);

} // namespace kvx::sim
