#include "discovery_targets.h"

#include <algorithm>

namespace kvx {
namespace {

void addOnce(std::vector<std::string>& addresses, const std::string& address) {
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
        addresses.push_back(address);
}

} // namespace

std::vector<std::string> directedBroadcasts(const std::vector<InterfaceAddress>& interfaces,
                                            const std::vector<std::string>& only) {
    std::vector<std::string> addresses;
    for (const InterfaceAddress& i : interfaces) {
        // An address added without one lists 0.0.0.0 as its broadcast address.
        const bool usable = (i.flags & net::kInterfaceUp) && (i.flags & net::kInterfaceBroadcast) &&
                            !(i.flags & net::kInterfaceLoopback) && !i.broadcast.empty() &&
                            i.broadcast != "0.0.0.0";
        const bool wanted = only.empty() || std::find(only.begin(), only.end(), i.name) != only.end();
        if (usable && wanted)
            addOnce(addresses, i.broadcast);
    }
    return addresses;
}

std::vector<std::string> searchAddresses(const DiscoveryTarget& target,
                                         const std::vector<InterfaceAddress>& interfaces) {
    if (target.broadcastAddress != kLimitedBroadcast)
        return {target.broadcastAddress};
    std::vector<std::string> addresses;
    if (target.interfaces.empty())
        addresses.push_back(target.broadcastAddress);
    for (const std::string& address : directedBroadcasts(interfaces, target.interfaces))
        addOnce(addresses, address);
    return addresses;
}

} // namespace kvx
