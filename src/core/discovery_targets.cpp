#include "discovery_targets.h"

#include <algorithm>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

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
        const bool usable = (i.flags & IFF_UP) && (i.flags & IFF_BROADCAST) && !(i.flags & IFF_LOOPBACK) &&
                            !i.broadcast.empty() && i.broadcast != "0.0.0.0";
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

std::vector<InterfaceAddress> readInterfaceAddresses() {
    std::vector<InterfaceAddress> interfaces;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return interfaces;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        InterfaceAddress address{a->ifa_name, a->ifa_flags, {}};
        if ((a->ifa_flags & IFF_BROADCAST) && a->ifa_broadaddr) {
            char text[INET_ADDRSTRLEN];
            const auto* broadcast = reinterpret_cast<const sockaddr_in*>(a->ifa_broadaddr);
            if (::inet_ntop(AF_INET, &broadcast->sin_addr, text, sizeof text))
                address.broadcast = text;
        }
        interfaces.push_back(std::move(address));
    }
    ::freeifaddrs(list);
    return interfaces;
}

} // namespace kvx
