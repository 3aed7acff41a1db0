#include "discovery_reply.h"

#include "core/vocabulary.h"
#include "sim/arguments.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <string_view>

namespace kvx::sim {

std::string buildDiscoveryReply(const DeviceOptions& options, const std::string& ipAddress,
                                std::uint16_t controlPort) {
    std::string reply(kvx::kDiscoveryMarker);
    const auto record = [&reply](std::uint8_t type, std::string_view value) {
        value = value.substr(0, 255); // the length is one byte
        reply.push_back(static_cast<char>(type));
        reply.push_back(static_cast<char>(value.size()));
        reply.append(value);
    };
    const auto bytesOf = [](const auto& array) {
        return std::string(reinterpret_cast<const char*>(array.data()), array.size());
    };

    record(1, options.productName);
    record(2, options.modelCode);
    record(3, options.serialNumber);

    in_addr address{};
    if (::inet_pton(AF_INET, ipAddress.c_str(), &address) != 1)
        address = in_addr{};
    record(4, std::string_view(reinterpret_cast<const char*>(&address.s_addr), 4)); // already network order

    const std::array<std::uint8_t, 2> port{static_cast<std::uint8_t>(controlPort >> 8),
                                           static_cast<std::uint8_t>(controlPort & 0xFF)};
    record(5, bytesOf(port));

    record(6, bytesOf(parseColonAddress(options.macAddress).value_or(std::array<std::uint8_t, 6>{})));
    record(7, options.btName);

    auto bd = parseColonAddress(options.btAddress).value_or(std::array<std::uint8_t, 6>{});
    std::reverse(bd.begin(), bd.end()); // least significant byte first on the wire
    record(8, bytesOf(bd));
    return reply;
}

} // namespace kvx::sim
