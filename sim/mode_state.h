#pragma once

#include "sim/command_table.h"
#include "sim/event_log.h"

#include <string>
#include <string_view>

namespace kvx::sim {

// The operation mode the device runs in.
class ModeState {
public:
    ModeState(int initial, EventLog& events);

    void registerCommands(CommandTable& table);

    int current() const { return m_current; }
    void set(int mode) { m_current = mode; }
    std::string_view caption() const; // "Unknown Mode" for an index no mode has

private:
    std::string onQuery(std::string_view argument);
    std::string onChange(Request& request);

    int m_current;
    EventLog& m_events;
};

} // namespace kvx::sim
