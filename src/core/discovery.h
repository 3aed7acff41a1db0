#pragma once

#include "core/vocabulary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvx {

inline constexpr std::size_t kDiscoveryReadLimit = 500;

// Where the search and the connect probe are sent; tests aim it at a simulated device on loopback.
struct DiscoveryTarget {
    std::string broadcastAddress = "255.255.255.255";
    std::uint16_t port = kDiscoveryPort;
};

// One reply datagram to one device record: the first marker with a byte after it, then exactly eight
// type-length-value records. Only the first 500 bytes are looked at. No row when the marker is missing
// or a record runs past the end.
std::optional<DeviceRecord> parseDiscoveryReply(std::string_view datagram);

} // namespace kvx
