#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::sim {

// A Bluetooth device the device knows by its address or by its name (exactly one of the two is set),
// with what it is paired with: a data port in Server mode, a server's "IP:Port" in Client mode.
struct TableEntry {
    int index;
    std::string address;
    std::string name;
    std::string endpoint;
};

// The registered devices of Server mode or the server table of Client mode: each device and each
// endpoint at most once, under indexes that count up, at most `cap` entries.
class PairingTable {
public:
    explicit PairingTable(std::size_t cap)
        : m_cap(cap) {}

    // "+OK", or the refusal when either side is taken already or the table is full.
    std::string add(std::string_view device, std::string_view endpoint);
    std::string removeDevice(std::string_view device);
    std::string removeEndpoint(std::string_view endpoint);
    // One line per entry as the device lists them: index, address, name and endpoint between "|".
    std::string listed() const;

private:
    template <class Match> std::string removeFirst(Match match);

    std::size_t m_cap;
    std::vector<TableEntry> m_entries;
    int m_nextIndex = 1;
};

} // namespace kvx::sim
