#pragma once

#include "sim/bluetooth_state.h"
#include "sim/client_state.h"
#include "sim/command_table.h"
#include "sim/event_log.h"
#include "sim/mode_state.h"
#include "sim/options.h"
#include "sim/port_settings_state.h"
#include "sim/repeater_state.h"
#include "sim/route_state.h"
#include "sim/server_state.h"
#include "sim/system_state.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace kvx::sim {

// A command line as the device reads it: a word, blanks, and the argument; blanks around it and a final
// ";" (restored settings arrive as "word value;") do not count.
struct CommandLine {
    std::string_view text{}; // the command without those, as faults on one use of a word name it
    std::string_view word{};
    std::string_view argument{};
    std::string_view error{}; // the reply to a line that holds no command; then the rest is empty
};
CommandLine readCommandLine(std::string_view line);

struct Reply {
    std::string text;
    bool reboot = false; // the device reboots once the reply is out
};

// The device behind the sockets: its settings, one area of commands each, the table of all its commands
// and its event log. Every method may be called from any thread.
class DeviceModel {
public:
    struct Areas {
        SystemState system;
        ModeState mode;
        BluetoothState bluetooth;
        PortSettingsState ports;
        RepeaterState repeater;
        ServerState server;
        ClientState client;
        RouteState routes;
    };

    explicit DeviceModel(const DeviceOptions& options);
    DeviceModel(const DeviceModel&) = delete;
    DeviceModel& operator=(const DeviceModel&) = delete;

    Reply answer(Session& session, const CommandLine& command);
    // Starts the event log afresh with what the device reports at start.
    void boot(std::uint16_t controlPort, std::uint16_t discoveryPort);
    void addEvent(const std::string& text);

    // Runs f on the settings areas, for the owner's accessors.
    template <class F> auto withAreas(F&& f) {
        std::lock_guard lock(m_mutex);
        return f(m_areas);
    }

private:
    const DeviceOptions& m_options;
    std::mutex m_mutex; // handlers run with it held
    EventLog m_events;
    CommandTable m_commands;
    Areas m_areas;
};

} // namespace kvx::sim
