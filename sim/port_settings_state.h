#pragma once

#include "sim/command_table.h"

#include <string>

namespace kvx::sim {

// The device's port settings of two modes: the TCP port and connection limit of Vertex mode, and the
// serial line of RS232 mode.
class PortSettingsState {
public:
    void registerCommands(CommandTable& table);

private:
    std::string onVertex(std::string_view argument);
    std::string onSerial(std::string_view argument);

    std::string m_vertexPort = "9100";
    std::string m_vertexMaximum = "7";
    std::string m_baud = "9600";
    std::string m_frame = "8N1";
    std::string m_flow = "none";
};

} // namespace kvx::sim
