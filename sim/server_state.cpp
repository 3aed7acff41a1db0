#include "server_state.h"

#include "sim/arguments.h"

#include <vector>

namespace kvx::sim {

ServerState::ServerState() {
    m_devices.add("00:1B:DC:0F:B1:01", "9101");
    m_devices.add("Handheld Scanner", "9102");
    m_devices.add("00:1B:DC:0F:B1:03", "9103");
}

void ServerState::registerCommands(CommandTable& table) {
    table.add("Port", this, &ServerState::onPort, "port");
    table.add("prsv", this, &ServerState::onKeepSocket);
    table.add("kato", this, &ServerState::onKeepAlive);
    table.add("Bind", this, &ServerState::onBind, "bind");
    table.add("Rele", this, &ServerState::onRelease);
}

// The manager reads the port as the last four characters of the reply, so only four digits are taken;
// a configuration backup reads it from position 9.
std::string ServerState::onPort(std::string_view argument) {
    return setting(m_port, argument, "PORT ", numberWithin(argument, 1000, 9999));
}

std::string ServerState::onKeepSocket(std::string_view argument) {
    return setting(m_keepSocket, argument, "PRSV ", argument == "on" || argument == "off");
}

// "kato <timeout> <interval> <probes>"; the query puts the timeout at position 9, where the manager
// cuts it.
std::string ServerState::onKeepAlive(std::string_view argument) {
    if (argument.empty())
        return "+OK KATO " + m_keepAlive + " " + m_keepAliveInterval + " " + m_keepAliveProbes + "\r\n";
    const std::vector<std::string_view> parts = words(argument);
    if (parts.size() != 3 || !numberWithin(parts[0], 1, 86400) || !numberWithin(parts[1], 1, 3600) ||
        !numberWithin(parts[2], 1, 100))
        return kRefused;
    m_keepAlive = std::string(parts[0]);
    m_keepAliveInterval = std::string(parts[1]);
    m_keepAliveProbes = std::string(parts[2]);
    return kOk;
}

// "Bind" lists the registered devices; "Bind <address or name> <port>" registers one. A name may hold
// blanks: the port is the last word.
std::string ServerState::onBind(std::string_view argument) {
    if (argument.empty())
        return m_devices.listed() + kOk;
    const std::size_t blank = argument.rfind(' ');
    if (blank == std::string_view::npos)
        return kRefused;
    const std::string_view device = trimBlanks(argument.substr(0, blank));
    const std::string_view port = argument.substr(blank + 1);
    if (device.empty() || !numberWithin(port, 1, 65535))
        return kRefused;
    return m_devices.add(device, port);
}

// A registered device is released by its data port.
std::string ServerState::onRelease(std::string_view argument) {
    return m_devices.removeEndpoint(argument);
}

} // namespace kvx::sim
