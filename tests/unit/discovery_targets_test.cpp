#include "core/discovery_targets.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

constexpr unsigned kUp = net::kInterfaceUp | net::kInterfaceBroadcast;

// A PC with a wired LAN, a configuration LAN with two addresses on one subnet and one on another, a
// Wi-Fi that is down, a point-to-point link, loopback and two interfaces with no broadcast address.
const std::vector<InterfaceAddress> kInterfaces = {
    {"lo", net::kInterfaceUp | net::kInterfaceLoopback, ""},
    {"eth0", kUp, "192.168.1.255"},
    {"eth1", kUp, "10.20.0.255"},
    {"eth1", kUp, "10.20.0.255"},
    {"eth1", kUp, "172.16.255.255"},
    {"wlan0", net::kInterfaceBroadcast, "192.168.50.255"},
    {"tun0", net::kInterfaceUp | net::kInterfacePointToPoint, ""},
    {"odd0", kUp, ""},
    {"bare0", kUp, "0.0.0.0"},
    {"lo:1", kUp | net::kInterfaceLoopback, "127.255.255.255"},
};

} // namespace

TEST(DiscoveryTargets, OnlyTheLimitedBroadcastSpreadsOverTheInterfaces) {
    struct Case {
        const char* why;
        DiscoveryTarget target;
        std::vector<InterfaceAddress> interfaces;
        std::vector<std::string> addresses;
    };
    const Case cases[] = {
        {"every up broadcast interface once, after the limited broadcast",
         {},
         kInterfaces,
         {"255.255.255.255", "192.168.1.255", "10.20.0.255", "172.16.255.255"}},
        {"no interface can be read", {}, {}, {"255.255.255.255"}},
        {"loopback stays loopback", {"127.0.0.1", 9097, {}}, kInterfaces, {"127.0.0.1"}},
        {"any other address is itself alone", {"10.77.0.255", 9097, {}}, kInterfaces, {"10.77.0.255"}},
        {"named interfaces only, without the limited broadcast",
         {"255.255.255.255", 9097, {"eth1", "eth0"}},
         kInterfaces,
         {"192.168.1.255", "10.20.0.255", "172.16.255.255"}},
        {"a named interface that is down gives nothing",
         {"255.255.255.255", 9097, {"wlan0"}},
         kInterfaces,
         {}},
        {"a named loopback gives nothing", {"255.255.255.255", 9097, {"lo:1"}}, kInterfaces, {}},
        {"names do not widen another target", {"127.0.0.1", 9097, {"eth0"}}, kInterfaces, {"127.0.0.1"}},
        {"an interface whose broadcast is the limited one adds nothing",
         {},
         {{"wide", kUp, "255.255.255.255"}},
         {"255.255.255.255"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(searchAddresses(c.target, c.interfaces), c.addresses) << c.why;
}
