#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kvx {

using Octets = std::array<int, 4>;

// "%d.%d.%d.%d": the form in which addresses are sent and compared.
std::string ipText(const Octets& octets);

// The four dot-separated parts of a dotted address, each the decimal value of its leading digits kept
// to its low 8 bits; a part without leading digits (a sign or a blank first included) and a missing
// part count as 0.
Octets octetsFromText(std::string_view dotted);

// An "IP:Port" text split at its first ":"; without one, all of it is the address and the port is empty.
struct IpPort {
    std::string ip;
    std::string port;
};
IpPort splitIpPort(std::string_view text);

} // namespace kvx
