#include "server_client_state.h"

#include "sim/simulated_device.h"

#include <algorithm>

namespace kvx::sim {
namespace {

constexpr std::string_view kOk = "+OK\r\n";
constexpr std::string_view kRefused = "-ERR Invalid value\r\n";
constexpr std::string_view kTaken = "-ERR Already registered\r\n";
constexpr std::string_view kUnknown = "-ERR No such entry\r\n";

// A whole decimal number within bounds, nothing else.
bool numberWithin(std::string_view text, long low, long high) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const long value = std::stol(std::string(text));
    return value >= low && value <= high;
}

bool isPort(std::string_view text) {
    return numberWithin(text, 1, 65535);
}

// Four dotted decimal octets, ":" and a port.
bool isServer(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || !isPort(text.substr(colon + 1)))
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

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A text in the form of a Bluetooth address is taken as one; anything else is a name.
TableEntry entryFor(int index, std::string_view device, std::string_view endpoint) {
    if (parseColonAddress(device))
        return {index, std::string(device), {}, std::string(endpoint)};
    return {index, {}, std::string(device), std::string(endpoint)};
}

std::string_view deviceOf(const TableEntry& entry) {
    return entry.address.empty() ? entry.name : entry.address;
}

// One line per entry as the device lists them: index, address, name and endpoint between "|".
std::string listed(const std::vector<TableEntry>& entries) {
    std::string text;
    for (const TableEntry& e : entries)
        text += std::to_string(e.index) + "|" + e.address + "|" + e.name + "|" + e.endpoint + "\r\n";
    return text;
}

template <class State> auto bindHandler(State* state, std::string (State::*handler)(std::string_view)) {
    return [state, handler](std::string_view argument) {
        return (state->*handler)(argument);
    };
}

} // namespace

ServerState::ServerState() {
    m_devices.push_back(entryFor(m_nextIndex++, "00:1B:DC:0F:B1:01", "9101"));
    m_devices.push_back(entryFor(m_nextIndex++, "Handheld Scanner", "9102"));
    m_devices.push_back(entryFor(m_nextIndex++, "00:1B:DC:0F:B1:03", "9103"));
}

void ServerState::registerCommands(CommandTable& table) {
    table.add("Port", bindHandler(this, &ServerState::onPort));
    table.add("prsv", bindHandler(this, &ServerState::onKeepSocket));
    table.add("kato", bindHandler(this, &ServerState::onKeepAlive));
    table.add("Bind", bindHandler(this, &ServerState::onBind));
    table.add("Rele", bindHandler(this, &ServerState::onRelease));
    table.alias("port", "Port");
    table.alias("bind", "Bind");
}

// The manager reads the port as the last four characters of the reply, so only four digits are taken;
// a configuration backup reads it from position 9.
std::string ServerState::onPort(std::string_view argument) {
    if (argument.empty())
        return "+OK PORT " + m_port + "\r\n";
    if (!numberWithin(argument, 1000, 9999))
        return std::string(kRefused);
    m_port = std::string(argument);
    return std::string(kOk);
}

std::string ServerState::onKeepSocket(std::string_view argument) {
    if (argument.empty())
        return std::string("+OK PRSV ") + (m_keepSocket ? "on" : "off") + "\r\n";
    if (argument != "on" && argument != "off")
        return std::string(kRefused);
    m_keepSocket = argument == "on";
    return std::string(kOk);
}

// "kato <timeout> <interval> <probes>"; the query puts the timeout at position 9, where the manager
// cuts it.
std::string ServerState::onKeepAlive(std::string_view argument) {
    if (argument.empty())
        return "+OK KATO " + m_keepAlive + " " + m_keepAliveInterval + " " + m_keepAliveProbes + "\r\n";
    std::vector<std::string_view> parts;
    while (!argument.empty()) {
        const std::size_t blank = argument.find(' ');
        if (blank != 0)
            parts.push_back(argument.substr(0, blank));
        argument.remove_prefix(blank == std::string_view::npos ? argument.size() : blank + 1);
    }
    if (parts.size() != 3 || !numberWithin(parts[0], 1, 86400) || !numberWithin(parts[1], 1, 3600) ||
        !numberWithin(parts[2], 1, 100))
        return std::string(kRefused);
    m_keepAlive = std::string(parts[0]);
    m_keepAliveInterval = std::string(parts[1]);
    m_keepAliveProbes = std::string(parts[2]);
    return std::string(kOk);
}

// "Bind" lists the registered devices; "Bind <address or name> <port>" registers one. A name may hold
// blanks: the port is the last word.
std::string ServerState::onBind(std::string_view argument) {
    if (argument.empty())
        return listed(m_devices) + std::string(kOk);
    const std::size_t blank = argument.rfind(' ');
    if (blank == std::string_view::npos)
        return std::string(kRefused);
    const std::string_view device = trimmed(argument.substr(0, blank));
    const std::string_view port = argument.substr(blank + 1);
    if (device.empty() || !isPort(port))
        return std::string(kRefused);
    if (std::any_of(m_devices.begin(), m_devices.end(),
                    [&](const TableEntry& e) { return deviceOf(e) == device || e.endpoint == port; }))
        return std::string(kTaken);
    if (m_devices.size() >= kMaxDevices)
        return std::string(kTableFullReply);
    m_devices.push_back(entryFor(m_nextIndex++, device, port));
    return std::string(kOk);
}

// A registered device is released by its data port.
std::string ServerState::onRelease(std::string_view argument) {
    const auto it = std::find_if(m_devices.begin(), m_devices.end(),
                                 [&](const TableEntry& e) { return e.endpoint == argument; });
    if (it == m_devices.end())
        return std::string(kUnknown);
    m_devices.erase(it);
    return std::string(kOk);
}

ClientState::ClientState() {
    m_servers.push_back(entryFor(m_nextIndex++, "00:1B:DC:0F:C1:01", "192.168.0.20:9100"));
    m_servers.push_back(entryFor(m_nextIndex++, "Label Printer", "192.168.0.21:9100"));
}

void ClientState::registerCommands(CommandTable& table) {
    table.add("Serv", bindHandler(this, &ClientState::onServers));
    table.add("DelServ", bindHandler(this, &ClientState::onDeleteServer));
    table.add("Rept", bindHandler(this, &ClientState::onRepeat));
    table.add("Psist", bindHandler(this, &ClientState::onPersist));
    table.add("rept", bindHandler(this, &ClientState::onRepeatSetting));
    table.alias("serv", "Serv");
    table.alias("psist", "Psist");
}

// "Serv" lists the servers and then the host on the "+OK" line; "Serv <IP:Port>" sets the host, and
// "Serv <IP:Port> <address or name>" adds a server.
std::string ClientState::onServers(std::string_view argument) {
    if (argument.empty())
        return listed(m_servers) + "+OK " + m_host + "\r\n";
    const std::size_t blank = argument.find(' ');
    const std::string_view server = argument.substr(0, blank);
    if (!isServer(server))
        return std::string(kRefused);
    if (blank == std::string_view::npos) {
        m_host = std::string(server);
        return std::string(kOk);
    }
    const std::string_view device = trimmed(argument.substr(blank + 1));
    if (std::any_of(m_servers.begin(), m_servers.end(),
                    [&](const TableEntry& e) { return deviceOf(e) == device || e.endpoint == server; }))
        return std::string(kTaken);
    if (m_servers.size() >= kMaxServers)
        return std::string(kTableFullReply);
    m_servers.push_back(entryFor(m_nextIndex++, device, server));
    return std::string(kOk);
}

// A server entry is deleted by its Bluetooth address or name.
std::string ClientState::onDeleteServer(std::string_view argument) {
    const auto it = std::find_if(m_servers.begin(), m_servers.end(),
                                 [&](const TableEntry& e) { return deviceOf(e) == argument; });
    if (it == m_servers.end())
        return std::string(kUnknown);
    m_servers.erase(it);
    return std::string(kOk);
}

// Query and set answer alike, "+OK REPEAT every <interval> ms", the interval as it was given.
std::string ClientState::onRepeat(std::string_view argument) {
    if (!argument.empty()) {
        if (!numberWithin(argument, 100, 3600000))
            return std::string(kRefused);
        m_interval = std::string(argument);
    }
    return "+OK REPEAT every " + m_interval + " ms\r\n";
}

// The interval in the words a configuration backup reads bare: behind the first "y" and its blank.
std::string ClientState::onRepeatSetting(std::string_view argument) {
    if (!argument.empty()) {
        if (!numberWithin(argument, 100, 3600000))
            return std::string(kRefused);
        m_interval = std::string(argument);
        return std::string(kOk);
    }
    return "+OK REPEAT every " + m_interval + "\r\n";
}

// Query and set answer alike, "+OK PERSIST on" or "+OK PERSIST off".
std::string ClientState::onPersist(std::string_view argument) {
    if (!argument.empty()) {
        if (argument != "on" && argument != "off")
            return std::string(kRefused);
        m_persist = argument == "on";
    }
    return std::string("+OK PERSIST ") + (m_persist ? "on" : "off") + "\r\n";
}

} // namespace kvx::sim
