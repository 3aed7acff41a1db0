#include "vocabulary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kvx {
namespace {

std::string formatSix(const char* pattern, std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                      std::uint8_t e, std::uint8_t f) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, a, b, c, d, e, f);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

constexpr std::array<ModeInfo, kModeCount> kModes{{
    {"Server", "Server Mode", "+OK Server Mode", "server"},
    {"Client", "Client Mode", "+OK Client Mode", "client"},
    {"Vertex", "Vertex Mode", "+OK Vertex Mode", "vertex"},
    {"Repeater", "Repeater Mode", "+OK Repeater Mode", "repeater"},
    {"SerialHub", "Serial Hub Mode", "+OK Serial Hub Mode", "hub"},
    {"RS232", "RS232 Mode", "+OK RS232 Mode", "rs232"},
}};

bool validMode(int index) {
    return index >= 0 && index < kModeCount;
}

} // namespace

std::string formatBdAddress(const ByteSpan6& w) {
    return formatSix("%02X:%02X:%02X:%02X:%02X:%02X", w[5], w[4], w[3], w[2], w[1], w[0]);
}

std::string formatMacAddress(const ByteSpan6& w) {
    return formatSix("%02X:%02X:%02X:%02X:%02X:%02X", w[0], w[1], w[2], w[3], w[4], w[5]);
}

std::string formatBdAddressSpaced(const ByteSpan6& w) {
    return formatSix("%02x : %02x : %02x : %02x : %02x : %02x", w[0], w[1], w[2], w[3], w[4], w[5]);
}

bool isEntryAddressComplete(std::string_view entryText, char prompt) {
    return entryText.size() == 17 && entryText.find(prompt) == std::string_view::npos;
}

const std::array<ModeInfo, kModeCount>& modeTable() {
    return kModes;
}

std::string_view modeName(int index) {
    return validMode(index) ? kModes[index].name : "Unknown";
}
std::string_view modeKeyword(int index) {
    return validMode(index) ? kModes[index].keyword : std::string_view{};
}
std::string_view modeCaption(int index) {
    return validMode(index) ? kModes[index].caption : std::string_view{};
}

std::optional<int> modeFromNormalisedReply(std::string_view normalised) {
    for (int i = 0; i < kModeCount; ++i) {
        if (kModes[i].reply == normalised)
            return i;
    }
    return std::nullopt;
}

std::string& DeviceRecord::field(int column) {
    return const_cast<std::string&>(static_cast<const DeviceRecord*>(this)->field(column));
}

const std::string& DeviceRecord::field(int column) const {
    switch (column) {
    case 0:
        return btName;
    case 1:
        return modelCode;
    case 2:
        return serialNumber;
    case 3:
        return ipAddress;
    case 4:
        return controlPort;
    case 5:
        return macAddress;
    case 6:
        return productName;
    default:
        return btAddress;
    }
}

VersionCode versionCodeFromText(std::string_view text) {
    // Missing characters read as the terminating zero, as the firmware's own C code would see them.
    const auto at = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned major = at(0) - '0';
    const auto minor = static_cast<std::uint8_t>(at(2) - '0');
    return major * 256u + minor;
}

std::string_view normalisedReply(std::string_view reply) {
    return reply.size() >= 2 ? reply.substr(0, reply.size() - 2) : std::string_view{};
}

bool containsOk(std::string_view reply) {
    return reply.find("+OK") != std::string_view::npos;
}
bool startsWithOk(std::string_view reply) {
    return reply.substr(0, 3) == "+OK";
}
bool containsToken(std::string_view reply) {
    return containsOk(reply) || reply.find("-ERR") != std::string_view::npos;
}

unsigned leadingDecimal(std::string_view text) {
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        // Saturate instead of wrapping, so a long digit run never aliases a small valid number.
        value = value > 100000000u ? value : value * 10u + static_cast<unsigned>(c - '0');
    }
    return value;
}

std::string_view beforeLineEnd(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

bool isSingleLine(std::string_view command) {
    if (command.ends_with("\r\n"))
        command.remove_suffix(2);
    return command.find_first_of("\r\n") == std::string_view::npos;
}

std::string capabilityLineFrom(std::string_view helpReply) {
    return std::string(beforeLineEnd(helpReply));
}

bool capabilityLineSupports(std::string_view capabilityLine, std::string_view keyword) {
    std::string upper(keyword);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return capabilityLine.find(upper) != std::string_view::npos;
}

} // namespace kvx
