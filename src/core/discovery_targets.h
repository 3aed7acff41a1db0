#pragma once

#include "core/discovery.h"
#include "platform/interfaces.h"

#include <string>
#include <vector>

namespace kvx {

using net::InterfaceAddress;

// The directed broadcast addresses of the up, broadcast-capable, non-loopback interfaces, each once, in
// the order first listed. `only` keeps the interfaces of those names; empty keeps all.
std::vector<std::string> directedBroadcasts(const std::vector<InterfaceAddress>& interfaces,
                                            const std::vector<std::string>& only = {});

// Where one search round goes. The limited broadcast leaves a PC by one interface only, so it stands
// for itself and every interface's directed broadcast (or only those of the target's interfaces); any
// other address stands for itself alone, which keeps a search aimed at loopback on loopback.
std::vector<std::string> searchAddresses(const DiscoveryTarget& target,
                                         const std::vector<InterfaceAddress>& interfaces);

// This machine's IPv4 interface addresses; none when they cannot be read.
using net::readInterfaceAddresses;

} // namespace kvx
