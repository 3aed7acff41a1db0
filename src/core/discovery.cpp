#include "discovery.h"

#include <cstdio>

namespace kvx {
namespace {

std::string textValue(std::string_view value) {
    return std::string(value.substr(0, value.find('\0')));
}

ByteSpan6 sixBytes(std::string_view value) {
    ByteSpan6 bytes{};
    for (std::size_t i = 0; i < bytes.size() && i < value.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(value[i]);
    return bytes;
}

std::uint8_t byteAt(std::string_view value, std::size_t i) {
    return i < value.size() ? static_cast<std::uint8_t>(value[i]) : 0;
}

void applyRecord(DeviceRecord& record, std::uint8_t type, std::string_view value) {
    switch (type) {
    case 1:
        record.productName = textValue(value);
        break;
    case 2:
        record.modelCode = textValue(value);
        break;
    case 3:
        record.serialNumber = textValue(value);
        break;
    case 4: {
        char text[16];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", byteAt(value, 0), byteAt(value, 1), byteAt(value, 2),
                      byteAt(value, 3));
        record.ipAddress = text;
        break;
    }
    case 5:
        record.controlPort = std::to_string(byteAt(value, 0) * 256u + byteAt(value, 1));
        break;
    case 6:
        record.macAddress = formatMacAddress(sixBytes(value));
        break;
    case 7:
        record.btName = textValue(value);
        break;
    case 8:
        record.btAddress = formatBdAddress(sixBytes(value));
        break;
    default:
        break;
    }
}

} // namespace

bool sameDevice(const DeviceRecord& a, const DeviceRecord& b) {
    return a.macAddress.empty() || b.macAddress.empty()
               ? a == b
               : a.macAddress == b.macAddress && a.ipAddress == b.ipAddress;
}

std::optional<DeviceRecord> parseDiscoveryReply(std::string_view datagram) {
    datagram = datagram.substr(0, kDiscoveryReadLimit);
    const std::size_t marker = datagram.find(kDiscoveryMarker);
    if (marker == std::string_view::npos || marker + kDiscoveryMarker.size() >= datagram.size())
        return std::nullopt;

    std::string_view rest = datagram.substr(marker + kDiscoveryMarker.size());
    DeviceRecord record;
    for (int i = 0; i < 8; ++i) {
        if (rest.size() < 2)
            return std::nullopt;
        const auto type = static_cast<std::uint8_t>(rest[0]);
        const auto length = static_cast<std::uint8_t>(rest[1]);
        if (rest.size() < 2u + length)
            return std::nullopt;
        applyRecord(record, type, rest.substr(2, length));
        rest.remove_prefix(2u + length);
    }
    return record;
}

} // namespace kvx
