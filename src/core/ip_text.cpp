#include "ip_text.h"

#include <cstdio>

namespace kvx {

std::string ipText(const Octets& o) {
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

Octets octetsFromText(std::string_view dotted) {
    Octets octets{};
    for (int& octet : octets) {
        const std::size_t dot = dotted.find('.');
        // The low 8 bits of a decimal number depend only on the low 8 bits of what came before each
        // digit, so a run of digits of any length is read whole and never overflows. (leadingDecimal
        // saturates instead, which would change those bits.)
        unsigned value = 0;
        for (std::size_t i = 0; i < dotted.size() && dotted[i] >= '0' && dotted[i] <= '9'; ++i)
            value = (value * 10 + static_cast<unsigned>(dotted[i] - '0')) & 0xFFu;
        octet = static_cast<int>(value);
        if (dot == std::string_view::npos) {
            dotted = {};
            continue;
        }
        dotted.remove_prefix(dot + 1);
    }
    return octets;
}

IpPort splitIpPort(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {std::string(text), {}};
    return {std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

} // namespace kvx
