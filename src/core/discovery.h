#pragma once

#include "core/vocabulary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvx {

inline constexpr std::size_t kDiscoveryReadLimit = 500;
inline constexpr std::string_view kLimitedBroadcast = "255.255.255.255";

// Where the search and the connect probe are sent; tests aim it at a simulated device on loopback.
struct DiscoveryTarget {
    // Spelled out so that the many {address, port} pairs need not name the interfaces.
    DiscoveryTarget(std::string address = std::string(kLimitedBroadcast), std::uint16_t port = kDiscoveryPort,
                    std::vector<std::string> interfaces = {})
        : broadcastAddress(std::move(address))
        , port(port)
        , interfaces(std::move(interfaces)) {}

    std::string broadcastAddress;
    std::uint16_t port;
    // With the limited broadcast: search by these interfaces' directed broadcasts only (empty: by the
    // limited broadcast and every interface's).
    std::vector<std::string> interfaces;
};

// Two answers come from one device when they name one MAC address and one IP address (a MAC seen on
// two addresses is two rows to pick from: a copied MAC, or a device that moved); an answer that names
// no MAC is one device with its exact repeats.
bool sameDevice(const DeviceRecord& a, const DeviceRecord& b);

// One reply datagram to one device record: the first marker with a byte after it, then exactly eight
// type-length-value records. Only the first 500 bytes are looked at. No row when the marker is missing
// or a record runs past the end.
std::optional<DeviceRecord> parseDiscoveryReply(std::string_view datagram);

} // namespace kvx
