#include "server_mode_replies.h"

#include "core/status_lines.h"
#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

constexpr std::size_t kPortLength = 4;
constexpr std::size_t kKeepAlivePosition = 9;

} // namespace

ListedEntry listedEntryFromLine(std::string_view line) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos)
        return {std::string(line), {}, {}};
    ListedEntry entry{std::string(line.substr(0, bar)), {}, {}};
    std::string_view rest = line.substr(bar + 1);
    // A second "|" at once means the address is empty: the name follows, then one "|" before the
    // endpoint. Otherwise the address is followed by the empty name's "||".
    std::string_view separator = "||";
    if (rest.starts_with('|')) {
        rest.remove_prefix(1);
        separator = "|";
    }
    const std::size_t cut = rest.find(separator);
    entry.bdaddrOrName = std::string(rest.substr(0, cut));
    if (cut != std::string_view::npos)
        entry.endpoint = std::string(rest.substr(cut + separator.size()));
    return entry;
}

BindList parseBindList(std::string_view reply) {
    BindList list;
    if (reply.starts_with("-ERR")) {
        list.outcome = BindList::Outcome::Refused;
        return list;
    }
    const StatusLines lines = parseStatusLines(reply);
    for (const std::string& line : lines.lines)
        list.entries.push_back(listedEntryFromLine(line));
    if (lines.ending == StatusLines::Ending::Imperfect)
        list.outcome = BindList::Outcome::Imperfect;
    return list;
}

std::string defaultPortFrom(std::string_view normalised) {
    return std::string(
        beforeLineEnd(normalised.substr(normalised.size() - std::min(normalised.size(), kPortLength))));
}

bool keepSocketFrom(std::string_view reply) {
    return reply.find("off") == std::string_view::npos;
}

std::string keepAliveFrom(std::string_view reply) {
    if (reply.size() <= kKeepAlivePosition)
        return {};
    const std::string_view value = reply.substr(kKeepAlivePosition);
    return std::string(beforeLineEnd(value.substr(0, value.find(' '))));
}

} // namespace kvx
