#include "client_state.h"

#include "sim/arguments.h"

namespace kvx::sim {
namespace {

// Four dotted decimal octets, ":" and a port.
bool isServer(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || !numberWithin(text.substr(colon + 1), 1, 65535))
        return false;
    std::string_view address = text.substr(0, colon);
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = address.find('.');
        if ((dot == std::string_view::npos) != (octet == 3) || !numberWithin(address.substr(0, dot), 0, 255))
            return false;
        address.remove_prefix(dot == std::string_view::npos ? address.size() : dot + 1);
    }
    return true;
}

bool isInterval(std::string_view text) {
    return numberWithin(text, 100, 3600000);
}

} // namespace

ClientState::ClientState() {
    m_servers.add("00:1B:DC:0F:C1:01", "192.168.0.20:9100");
    m_servers.add("Label Printer", "192.168.0.21:9100");
}

void ClientState::registerCommands(CommandTable& table) {
    table.add("Serv", this, &ClientState::onServers, "serv");
    table.add("DelServ", this, &ClientState::onDeleteServer);
    table.add("Rept", this, &ClientState::onRepeat);
    table.add("Psist", this, &ClientState::onPersist, "psist");
    table.add("rept", this, &ClientState::onRepeatSetting);
}

// "Serv" lists the servers and then the host on the "+OK" line; "Serv <IP:Port>" sets the host, and
// "Serv <IP:Port> <address or name>" adds a server.
std::string ClientState::onServers(std::string_view argument) {
    if (argument.empty())
        return m_servers.listed() + "+OK " + m_host + "\r\n";
    const std::size_t blank = argument.find(' ');
    const std::string_view server = argument.substr(0, blank);
    if (!isServer(server))
        return kRefused;
    if (blank == std::string_view::npos) {
        m_host = std::string(server);
        return kOk;
    }
    return m_servers.add(trimBlanks(argument.substr(blank + 1)), server);
}

// A server entry is deleted by its Bluetooth address or name.
std::string ClientState::onDeleteServer(std::string_view argument) {
    return m_servers.removeDevice(argument);
}

// Query and set answer alike, "+OK REPEAT every <interval> ms", the interval as it was given.
std::string ClientState::onRepeat(std::string_view argument) {
    if (!argument.empty()) {
        if (!isInterval(argument))
            return kRefused;
        m_interval = std::string(argument);
    }
    return "+OK REPEAT every " + m_interval + " ms\r\n";
}

// The interval in the words a configuration backup reads bare: behind the first "y" and its blank.
std::string ClientState::onRepeatSetting(std::string_view argument) {
    return setting(m_interval, argument, "REPEAT every ", isInterval(argument));
}

// Query and set answer alike, "+OK PERSIST on" or "+OK PERSIST off".
std::string ClientState::onPersist(std::string_view argument) {
    if (!argument.empty()) {
        if (argument != "on" && argument != "off")
            return kRefused;
        m_persist = std::string(argument);
    }
    return "+OK PERSIST " + m_persist + "\r\n";
}

} // namespace kvx::sim
