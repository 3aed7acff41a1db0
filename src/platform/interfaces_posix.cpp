#include "platform/interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace kvx::net {

static_assert(kInterfaceUp == IFF_UP && kInterfaceBroadcast == IFF_BROADCAST &&
              kInterfaceLoopback == IFF_LOOPBACK && kInterfacePointToPoint == IFF_POINTOPOINT);

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

} // namespace kvx::net
