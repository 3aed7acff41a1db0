#pragma once

#include "core/discovery.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvx::fleet {

// One live Bluetooth link as the metrics show it. A Tx or Rx column that is not a count has no value:
// a counter that dropped to 0 would read as a reset.
struct LinkSample {
    std::string address;
    int quality = 0;
    int signal = 0;
    std::optional<std::uint64_t> transmitted;
    std::optional<std::uint64_t> received;
};

// What one scrape of one device found; a device that could not be reached still has a record, so that
// its series say so instead of vanishing.
struct DeviceMetrics {
    bool up = false;                   // every query of the scrape was answered
    std::optional<bool> loginAccepted; // nothing when no connection was made to log in on
    double scrapeSeconds = 0;
    std::optional<int> mode;
    DeviceRecord identity; // the discovery answer's: model, serial and MAC
    std::string firmware;
    std::string btName; // as the device answers now; the discovery answer's may predate a rename
    std::vector<LinkSample> links;
    bool linksComplete = false; // the whole list was read, so `links` counts the live links
};

class FleetSession;
class FleetPrompter;

// The firmware version as the Information page reads it; nothing when the device stays silent.
std::optional<std::string> firmwareVersion(FleetSession& session, FleetPrompter& prompter);

// Firmware, name, mode and links, read as the Information, Bluetooth, Operation Mode and Connections
// pages read them; false at the first query that fails, `step` naming it, with what was read before it
// kept.
bool readMetrics(FleetSession& session, FleetPrompter& prompter, DeviceMetrics& metrics, std::string& step);

} // namespace kvx::fleet
