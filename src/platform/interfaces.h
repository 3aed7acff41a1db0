#pragma once

// The machine's IPv4 interface addresses, for the search's directed broadcasts.

#include <string>
#include <vector>

namespace kvx::net {

// Interface flags; the same values as the POSIX IFF_ ones.
inline constexpr unsigned kInterfaceUp = 0x1;
inline constexpr unsigned kInterfaceBroadcast = 0x2;
inline constexpr unsigned kInterfaceLoopback = 0x8;
inline constexpr unsigned kInterfacePointToPoint = 0x10;

// One IPv4 address of one network interface, as the system lists it.
struct InterfaceAddress {
    std::string name;      // what --interface takes: the system's name, or an adapter's friendly name
    unsigned flags = 0;    // kInterfaceUp, kInterfaceBroadcast, kInterfaceLoopback, ...
    std::string broadcast; // dotted; empty when the address has no broadcast address
};

// None when they cannot be read.
std::vector<InterfaceAddress> readInterfaceAddresses();

} // namespace kvx::net
