#pragma once

#include "sim/command_table.h"
#include "sim/event_log.h"
#include "sim/options.h"

#include <string>

namespace kvx::sim {

// What the device answers in every mode: the login, its version and capabilities, its log and the reboot.
class SystemState {
public:
    SystemState(const DeviceOptions& options, const CommandTable& commands, EventLog& events);

    void registerCommands(CommandTable& table);

    // A log answered instead of the events, as an operator or a test gave it.
    void setLog(std::string text) { m_logText = std::move(text); }

private:
    std::string onUser(Request& request);
    std::string onPass(Request& request);
    std::string onHelp(std::string_view argument);
    std::string onVersion(std::string_view argument);
    std::string onLog(std::string_view argument);
    std::string onReboot(Request& request);

    const DeviceOptions& m_options;
    const CommandTable& m_commands;
    EventLog& m_events;
    std::string m_logText;
};

} // namespace kvx::sim
