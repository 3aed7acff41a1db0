#include "status_lines.h"

#include <algorithm>

namespace kvx {

StatusLines parseStatusLines(std::string_view reply) {
    StatusLines result;
    std::size_t position = 0;
    std::size_t end = reply.find("\r\n");
    while (end != std::string_view::npos) {
        const std::string_view line = reply.substr(position, end - position);
        position = end + 2;
        if (line == "+OK")
            return result;
        result.lines.emplace_back(line);
        if (position >= reply.size()) {
            result.ending = StatusLines::Ending::EndOfReply;
            return result;
        }
        end = reply.find("\r\n", position);
    }
    result.ending = StatusLines::Ending::Imperfect;
    return result;
}

std::string_view takeLine(std::string_view& rest) {
    const std::string_view line = rest.substr(0, rest.find_first_of("\r\n"));
    rest.remove_prefix(line.size());
    rest.remove_prefix(rest.starts_with("\r\n") ? 2 : std::min<std::size_t>(rest.size(), 1));
    return line;
}

std::vector<std::string> splitPipeFields(std::string_view line, int count) {
    std::vector<std::string> fields;
    fields.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i + 1 < count; ++i) {
        const std::size_t bar = line.find('|');
        if (bar == std::string_view::npos) {
            fields.emplace_back();
            continue;
        }
        fields.emplace_back(line.substr(0, bar));
        line.remove_prefix(bar + 1);
    }
    fields.emplace_back(line);
    return fields;
}

} // namespace kvx
