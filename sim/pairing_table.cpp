#include "pairing_table.h"

#include "sim/arguments.h"
#include "sim/command_table.h"

#include <algorithm>

namespace kvx::sim {
namespace {

std::string_view deviceOf(const TableEntry& entry) {
    return entry.address.empty() ? entry.name : entry.address;
}

} // namespace

std::string PairingTable::add(std::string_view device, std::string_view endpoint) {
    if (std::any_of(m_entries.begin(), m_entries.end(),
                    [&](const TableEntry& e) { return deviceOf(e) == device || e.endpoint == endpoint; }))
        return "-ERR Already registered\r\n";
    if (m_entries.size() >= m_cap)
        return kTableFullReply;
    // A text in the form of a Bluetooth address is taken as one; anything else is a name.
    const bool address = parseColonAddress(device).has_value();
    m_entries.push_back({m_nextIndex++, address ? std::string(device) : std::string(),
                         address ? std::string() : std::string(device), std::string(endpoint)});
    return kOk;
}

template <class Match> std::string PairingTable::removeFirst(Match match) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), match);
    if (it == m_entries.end())
        return "-ERR No such entry\r\n";
    m_entries.erase(it);
    return kOk;
}

std::string PairingTable::removeDevice(std::string_view device) {
    return removeFirst([&](const TableEntry& e) { return deviceOf(e) == device; });
}

std::string PairingTable::removeEndpoint(std::string_view endpoint) {
    return removeFirst([&](const TableEntry& e) { return e.endpoint == endpoint; });
}

std::string PairingTable::listed() const {
    std::string text;
    for (const TableEntry& e : m_entries)
        text += std::to_string(e.index) + "|" + e.address + "|" + e.name + "|" + e.endpoint + "\r\n";
    return text;
}

} // namespace kvx::sim
