#include "port_settings_state.h"

#include "sim/arguments.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace kvx::sim {
namespace {

constexpr std::array<std::string_view, 9> kBaudRates{"1200",  "2400",  "4800",   "9600",  "19200",
                                                     "38400", "57600", "115200", "230400"};
constexpr std::array<std::string_view, 3> kFlowWords{"none", "hardware", "xonoff"};

bool digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The values stand one blank apart; anything else is refused.
std::vector<std::string_view> values(std::string_view argument) {
    if (argument.find("  ") != std::string_view::npos)
        return {};
    return words(argument);
}

template <std::size_t N> bool oneOf(std::string_view value, const std::array<std::string_view, N>& known) {
    return std::find(known.begin(), known.end(), value) != known.end();
}

} // namespace

void PortSettingsState::registerCommands(CommandTable& table) {
    table.add("Vertex", this, &PortSettingsState::onVertex, "vertex");
    table.add("rs232", this, &PortSettingsState::onSerial);
}

// The reply keeps the port in four characters and the maximum in one, where the manager cuts them; so
// the device takes only ports of four digits and at most seven connections, as a piconet allows.
std::string PortSettingsState::onVertex(std::string_view argument) {
    if (!argument.empty()) {
        const std::vector<std::string_view> v = values(argument);
        if (v.size() != 2 || v[0].size() != 4 || !digits(v[0]) || v[0][0] == '0' || v[1].size() != 1 ||
            v[1][0] < '1' || v[1][0] > '7')
            return kRefused;
        m_vertexPort = std::string(v[0]);
        m_vertexMaximum = std::string(v[1]);
    }
    return "+OK PORT " + m_vertexPort + " MAX " + m_vertexMaximum + "\r\n";
}

std::string PortSettingsState::onSerial(std::string_view argument) {
    if (argument.empty())
        return "+OK RS232 " + m_baud + " " + m_frame + " " + m_flow + "\r\n";
    const std::vector<std::string_view> v = values(argument);
    if (v.size() != 3 || !oneOf(v[0], kBaudRates) || v[1].size() != 3 || v[1][0] < '5' || v[1][0] > '8' ||
        std::string_view("NOE").find(v[1][1]) == std::string_view::npos ||
        (v[1][2] != '1' && v[1][2] != '2') || !oneOf(v[2], kFlowWords))
        return kRefused;
    m_baud = std::string(v[0]);
    m_frame = std::string(v[1]);
    m_flow = std::string(v[2]);
    return kOk;
}

} // namespace kvx::sim
