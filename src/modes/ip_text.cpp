#include "ip_text.h"

#include <cstdio>
#include <cstdlib>

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
        // atoi semantics on a bounded copy: blanks, a sign and the leading digits count.
        const std::string part(dotted.substr(0, std::min<std::size_t>(dot, 16)));
        octet = static_cast<int>(static_cast<unsigned>(std::atoi(part.c_str())) & 0xFFu);
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
