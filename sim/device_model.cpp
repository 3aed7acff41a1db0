#include "device_model.h"

#include "sim/arguments.h"

#include <algorithm>

namespace kvx::sim {
namespace {

// Control bytes never occur in a command the manager builds; typed names may carry UTF-8, so bytes
// above 0x7F pass.
bool hasControlBytes(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
}

} // namespace

CommandLine readCommandLine(std::string_view line) {
    if (!line.empty() && line.back() == ';')
        line.remove_suffix(1);
    if (hasControlBytes(line))
        return {.error = "-ERR Bad characters in command\r\n"};
    line = trimBlanks(line);
    if (line.empty())
        return {.error = "-ERR Empty command\r\n"};
    const std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string_view::npos)
        return {.text = line, .word = line};
    return {.text = line,
            .word = line.substr(0, blank),
            .argument = line.substr(line.find_first_not_of(" \t", blank))};
}

DeviceModel::DeviceModel(const DeviceOptions& options)
    : m_options(options)
    , m_areas{{options, m_commands, m_events},
              {options.initialMode, m_events},
              BluetoothState(options),
              {},
              {options.repeaterNetwork, options.stationAddress},
              {},
              {},
              {}} {
    m_areas.system.registerCommands(m_commands);
    m_areas.mode.registerCommands(m_commands);
    m_areas.bluetooth.registerCommands(m_commands);
    m_areas.ports.registerCommands(m_commands);
    m_areas.repeater.registerCommands(m_commands);
    m_areas.server.registerCommands(m_commands);
    m_areas.client.registerCommands(m_commands);
    m_areas.routes.registerCommands(m_commands);
}

Reply DeviceModel::answer(Session& session, const CommandLine& command) {
    if (!command.error.empty())
        return {std::string(command.error)};
    std::lock_guard lock(m_mutex);
    const CommandTable::Command* found = m_commands.find(command.word);
    if (found && (session.loggedIn || found->access == Access::BeforeLogin)) {
        Request request{command.argument, session};
        std::string text = found->handler(request);
        return {std::move(text), request.reboot};
    }
    return {session.loggedIn ? "-ERR Unknown command\r\n" : "-ERR Login required\r\n"};
}

void DeviceModel::boot(std::uint16_t controlPort, std::uint16_t discoveryPort) {
    std::lock_guard lock(m_mutex);
    m_events.restart();
    m_events.add("System start: " + m_options.productName + " model " + m_options.modelCode + " serial " +
                 m_options.serialNumber + " firmware " + m_options.firmwareVersion);
    m_events.add("eth0: MAC " + m_options.macAddress + ", address " + m_options.bindAddress);
    m_events.add("bt0: local device " + m_options.btAddress + " \"" + m_options.btName + "\" up");
    m_events.add("Operation mode: " + std::string(m_areas.mode.caption()));
    m_events.add("Control port " + std::to_string(controlPort) + " listening, discovery port " +
                 std::to_string(discoveryPort));
}

void DeviceModel::addEvent(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_events.add(text);
}

} // namespace kvx::sim
