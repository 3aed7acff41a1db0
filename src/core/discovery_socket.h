#pragma once

#include "core/discovery.h"
#include "platform/net.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kvx {

// Dotted IPv4 text that names an address ("127.0.0.300" does not).
bool isIpv4Text(const std::string& text);

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
    bool isOpen() const { return m_fd != net::kNoSocket; }
    const DiscoveryTarget& target() const { return m_target; }

    // The search: the request to every address the target stands for, once at the start and once more
    // after a third of `wait` (one lost datagram, common on a wireless network, should not hide a
    // device), then answers until `wait` has passed, with at least one wait. Each device goes to `found`
    // once, however many requests reached it; a failed read goes to `readError` and the search goes on.
    // False, before any wait, when the first round reached no address.
    bool search(std::chrono::milliseconds wait, const std::function<void(const DeviceRecord&)>& found,
                const std::function<void()>& readError);
    // The probe goes to the typed address at the discovery port; an address that is not dotted IPv4
    // text cannot be sent to.
    bool sendProbe(const std::string& ipText);
    // Waits at most `wait` for one datagram and reads up to the discovery read limit of it.
    Receive receive(std::chrono::milliseconds wait, std::string& datagram);
    // The errno-style code of the last operation that failed, for the operator; net::errorText() words it.
    int lastError() const { return m_lastError; }

private:
    bool sendTo(const std::string& ipText);
    // True when the request reached at least one of the addresses.
    bool sendRound(const std::vector<std::string>& addresses);

    DiscoveryTarget m_target;
    net::Socket m_fd = net::kNoSocket;
    int m_lastError = 0;
};

} // namespace kvx
