#include "command_table.h"

namespace kvx::sim {

std::string setting(std::string& value, std::string_view argument, std::string_view label, bool valid) {
    if (argument.empty())
        return "+OK " + std::string(label) + value + "\r\n";
    if (!valid)
        return kRefused;
    value = std::string(argument);
    return kOk;
}

const CommandTable::Command* CommandTable::find(std::string_view word) const {
    const auto it = m_commands.find(word);
    return it == m_commands.end() ? nullptr : &it->second;
}

std::vector<std::string_view> CommandTable::words() const {
    std::vector<std::string_view> result;
    for (const auto& [word, command] : m_commands)
        result.push_back(word);
    return result;
}

} // namespace kvx::sim
