#include "connection_status.h"

#include "core/firmware_version.h"
#include "core/status_lines.h"

#include <algorithm>
#include <climits>

namespace kvx {

bool firmwareShowsIndicator(std::string_view verReply) {
    const std::string text = versionTextFromReply(verReply);
    // The number is read like the quality value; that reading differs from versionNumberFromText only
    // for a leading blank or sign, which leaves a single digit and so never reaches 21.
    if (versionNumberFromText(text) >= 21)
        return true;
    return std::count(text.begin(), text.end(), '.') >= 2;
}

int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

LinkIndicator linkIndicatorFor(int quality, int signal) {
    if (signal < -8 || quality <= 200)
        return LinkIndicator::Red;
    if (quality < 215)
        return LinkIndicator::Yellow;
    return LinkIndicator::Green;
}

ConnectionStatus parseConnectionStatus(std::string_view listReply, bool showIndicator) {
    const StatusLines lines = parseStatusLines(listReply);
    ConnectionStatus status;
    status.imperfect = lines.ending == StatusLines::Ending::Imperfect;
    status.rows.reserve(lines.lines.size());
    for (const std::string& line : lines.lines) {
        std::vector<std::string> fields = splitPipeFields(line, 9);
        ConnectionRow row;
        std::move(fields.begin(), fields.begin() + 7, row.columns.begin());
        row.quality = leadingInteger(fields[7]);
        row.signal = leadingInteger(fields[8]);
        if (showIndicator)
            row.indicator = linkIndicatorFor(row.quality, row.signal);
        status.rows.push_back(std::move(row));
    }
    return status;
}

} // namespace kvx
