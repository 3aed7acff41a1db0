#include "discovery_socket.h"

#include "core/discovery_targets.h"

#include <algorithm>
#include <cerrno>

namespace kvx {

bool isIpv4Text(const std::string& text) {
    return net::parseIpv4(text).has_value();
}

DiscoverySocket::DiscoverySocket(DiscoveryTarget target)
    : m_target(std::move(target)) {}

DiscoverySocket::~DiscoverySocket() {
    close();
}

bool DiscoverySocket::open() {
    close();
    m_fd = net::open(net::Type::Datagram);
    m_lastError = m_fd == net::kNoSocket ? net::lastError() : 0;
    return m_fd != net::kNoSocket;
}

void DiscoverySocket::close() {
    net::close(m_fd);
}

bool DiscoverySocket::search(std::chrono::milliseconds wait,
                             const std::function<void(const DeviceRecord&)>& found,
                             const std::function<void()>& readError) {
    using Clock = std::chrono::steady_clock;
    if (m_fd == net::kNoSocket) {
        m_lastError = EBADF;
        return false;
    }
    if (!net::setBroadcast(m_fd)) {
        m_lastError = net::lastError();
        return false;
    }
    const std::vector<std::string> addresses = searchAddresses(m_target, readInterfaceAddresses());
    if (!sendRound(addresses))
        return false;
    const Clock::time_point start = Clock::now();
    const Clock::time_point again = start + wait / 3;
    const Clock::time_point end = start + wait;
    bool repeated = false;
    std::vector<DeviceRecord> listed;
    do {
        const Clock::time_point now = Clock::now();
        if (!repeated && now >= again) {
            // The first round got out, so a failure now is a lost datagram like any other.
            sendRound(addresses);
            repeated = true;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>((repeated ? end : again) - now);
        std::string datagram;
        switch (receive(std::max(left, std::chrono::milliseconds(0)), datagram)) {
        case Receive::Nothing:
            break;
        case Receive::Error:
            readError();
            break;
        case Receive::Datagram:
            if (const std::optional<DeviceRecord> record = parseDiscoveryReply(datagram);
                record && std::none_of(listed.begin(), listed.end(),
                                       [&](const DeviceRecord& r) { return sameDevice(r, *record); })) {
                listed.push_back(*record);
                found(*record);
            }
            break;
        }
    } while (Clock::now() < end);
    return true;
}

bool DiscoverySocket::sendRound(const std::vector<std::string>& addresses) {
    bool sent = false;
    for (const std::string& address : addresses)
        sent = sendTo(address) || sent;
    return sent;
}

bool DiscoverySocket::sendProbe(const std::string& ipText) {
    return sendTo(ipText);
}

bool DiscoverySocket::sendTo(const std::string& ipText) {
    if (m_fd == net::kNoSocket) {
        m_lastError = EBADF;
        return false;
    }
    const std::optional<std::uint32_t> address = net::parseIpv4(ipText);
    if (!address) {
        m_lastError = EINVAL;
        return false;
    }
    const std::ptrdiff_t n =
        net::sendTo(m_fd, kDiscoveryRequest.data(), kDiscoveryRequest.size(), {*address, m_target.port});
    if (n == static_cast<std::ptrdiff_t>(kDiscoveryRequest.size()))
        return true;
    m_lastError = n < 0 ? net::lastError() : EMSGSIZE;
    return false;
}

DiscoverySocket::Receive DiscoverySocket::receive(std::chrono::milliseconds wait, std::string& datagram) {
    datagram.clear();
    if (m_fd == net::kNoSocket) {
        m_lastError = EBADF;
        return Receive::Error;
    }
    net::PollEntry entry{m_fd, net::kReadable, 0};
    const int rc = net::poll(std::span(&entry, 1), static_cast<int>(wait.count()));
    if (rc == 0)
        return Receive::Nothing;
    if (rc < 0) {
        m_lastError = net::lastError();
        return Receive::Error;
    }
    char buffer[kDiscoveryReadLimit];
    // A datagram longer than the buffer is cut; the parser never looks further anyway.
    const std::ptrdiff_t n = net::receive(m_fd, buffer, sizeof buffer);
    if (n < 0) {
        m_lastError = net::lastError();
        return Receive::Error;
    }
    datagram.assign(buffer, static_cast<std::size_t>(n));
    return Receive::Datagram;
}

} // namespace kvx
