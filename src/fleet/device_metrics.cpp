#include "device_metrics.h"

#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/connection_status.h"
#include "core/firmware_version.h"
#include "core/page_queries.h"
#include "core/vocabulary.h"
#include "fleet/fleet_session.h"

#include <QCoreApplication>
#include <charconv>

namespace kvx::fleet {
namespace {

// A Tx or Rx column as a count: the decimal digits the device writes, nothing else.
std::optional<std::uint64_t> countFrom(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> firmwareVersion(FleetSession& session, FleetPrompter& prompter) {
    const QueryOutcome version = runQuery(session, prompter, kVersionQuery);
    if (version.kind == QueryOutcome::Kind::Silent)
        return std::nullopt;
    // A refused version query stands for 1.0, as on the Information page.
    return version ? versionTextFromReply(version.normalised()) : "1.0";
}

// Firmware, mode and links, read as the Information, Operation Mode and Connections pages read them;
// false at the first query that fails, with what was read before it kept.
bool readMetrics(FleetSession& session, FleetPrompter& prompter, DeviceMetrics& metrics, std::string& step) {
    // One reading: a reply nobody asked for would shift every value after it.
    Reading reading(session);
    step = "version";
    const std::optional<std::string> firmware = firmwareVersion(session, prompter);
    if (!firmware)
        return false;
    metrics.firmware = *firmware;

    // Read now, as the Bluetooth page reads it: the discovery answer may still carry the name from
    // before a rename.
    step = "name";
    const QueryOutcome name = runQuery(session, prompter, kBtNameQuery);
    if (!name)
        return false;
    metrics.btName = valueFrom(name.normalised(), kQueryValuePosition);

    step = "mode";
    metrics.mode = queryMode(session, prompter);
    if (!metrics.mode)
        return false;

    step = "links";
    const QueryOutcome list = runQuery(session, prompter, kConnectionList);
    if (!list)
        return false;
    // The indicator is the page's business; the numbers behind it are reported whatever the firmware.
    const ConnectionStatus status = parseConnectionStatus(list.reply, false);
    for (const ConnectionRow& row : status.rows)
        metrics.links.push_back(
            {row.columns[3], row.quality, row.signal, countFrom(row.columns[5]), countFrom(row.columns[6])});
    if (status.imperfect) {
        prompter.message(
            QCoreApplication::translate("kvx::ConnectionsPage", "Get Status is imperfect. Try again."));
        return false;
    }
    if (!reading.finish(prompter, kConnectionList.command))
        return false;
    metrics.linksComplete = true;
    return true;
}

} // namespace kvx::fleet
