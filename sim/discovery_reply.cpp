#include "discovery_reply.h"

#include "core/vocabulary.h"
#include "platform/net.h"
#include "sim/arguments.h"

#include <algorithm>
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

    const std::uint32_t address = net::parseIpv4(ipAddress).value_or(0);
    const std::array<std::uint8_t, 4> addressBytes{
        static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16 & 0xFF),
        static_cast<std::uint8_t>(address >> 8 & 0xFF), static_cast<std::uint8_t>(address & 0xFF)};
    record(4, bytesOf(addressBytes)); // network order

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
