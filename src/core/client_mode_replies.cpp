#include "client_mode_replies.h"

#include "core/status_lines.h"
#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

constexpr std::string_view kIntervalPrefix = "+OK REPEAT every ";
constexpr std::string_view kIntervalUnit = " ms";
constexpr std::string_view kReconnectPrefix = "+OK PERSIST ";
// The dotted address starts after "+OK" and its blank.
constexpr std::size_t kHostAddressPosition = 4;

std::string_view from(std::string_view text, std::size_t position) {
    return text.substr(std::min(position, text.size()));
}

// A bare "+OK" line is a host line too, one without an address or a port.
HostAddress hostFromLine(std::string_view line) {
    const IpPort parts = splitIpPort(line);
    return {octetsFromText(from(parts.ip, kHostAddressPosition)), parts.port};
}

} // namespace

ServerList parseServerList(std::string_view reply) {
    ServerList list;
    if (reply.starts_with("-ERR")) {
        list.outcome = ServerList::Outcome::Refused;
        return list;
    }
    const StatusLines lines = parseStatusLines(reply);
    for (const std::string& line : lines.lines) {
        if (startsWithOk(line)) {
            list.host = hostFromLine(line);
            return list;
        }
        list.entries.push_back(listedEntryFromLine(line));
    }
    // The line walk stops at a bare "+OK" line without handing it over.
    if (lines.ending == StatusLines::Ending::Complete)
        list.host = hostFromLine("+OK");
    else if (lines.ending == StatusLines::Ending::Imperfect)
        list.outcome = ServerList::Outcome::Imperfect;
    return list;
}

std::string intervalFrom(std::string_view normalised) {
    const std::string_view value = from(normalised, kIntervalPrefix.size());
    return std::string(
        beforeLineEnd(value.substr(0, value.size() - std::min(value.size(), kIntervalUnit.size()))));
}

std::string reconnectFrom(std::string_view normalised) {
    return std::string(beforeLineEnd(from(normalised, kReconnectPrefix.size())));
}

std::string intervalConfirmation(std::string_view interval) {
    return std::string(kIntervalPrefix).append(interval).append(kIntervalUnit);
}

std::string reconnectConfirmation(std::string_view word) {
    return std::string(kReconnectPrefix).append(word);
}

} // namespace kvx
