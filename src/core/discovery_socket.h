#pragma once

#include "core/discovery.h"

#include <chrono>
#include <string>

namespace kvx {

// The UDP socket of the search and connect window: the broadcast search and the unicast probe.
class DiscoverySocket {
public:
    enum class Receive { Datagram, Nothing, Error };

    explicit DiscoverySocket(DiscoveryTarget target = {});
    ~DiscoverySocket();
    DiscoverySocket(const DiscoverySocket&) = delete;
    DiscoverySocket& operator=(const DiscoverySocket&) = delete;

    bool open();
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const DiscoveryTarget& target() const { return m_target; }

    bool allowBroadcast();
    bool sendBroadcast();
    // The probe goes to the typed address at the discovery port; an address that is not dotted IPv4
    // text cannot be sent to.
    bool sendProbe(const std::string& ipText);
    // Waits at most `wait` for one datagram and reads up to the discovery read limit of it.
    Receive receive(std::chrono::milliseconds wait, std::string& datagram);

private:
    bool sendTo(const std::string& ipText);

    DiscoveryTarget m_target;
    int m_fd = -1;
};

} // namespace kvx
