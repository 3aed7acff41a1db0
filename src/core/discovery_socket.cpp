#include "discovery_socket.h"

#include "core/discovery_targets.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvx {

bool isIpv4Text(const std::string& text) {
    in_addr address{};
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1;
}

DiscoverySocket::DiscoverySocket(DiscoveryTarget target)
    : m_target(std::move(target)) {}

DiscoverySocket::~DiscoverySocket() {
    close();
}

bool DiscoverySocket::open() {
    close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    m_lastError = m_fd < 0 ? errno : 0;
    return m_fd >= 0;
}

void DiscoverySocket::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool DiscoverySocket::search(std::chrono::milliseconds wait,
                             const std::function<void(const DeviceRecord&)>& found,
                             const std::function<void()>& readError) {
    using Clock = std::chrono::steady_clock;
    const int one = 1;
    if (m_fd < 0) {
        m_lastError = EBADF;
        return false;
    }
    if (::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        m_lastError = errno;
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
    if (m_fd < 0) {
        m_lastError = EBADF;
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(m_target.port);
    if (::inet_pton(AF_INET, ipText.c_str(), &addr.sin_addr) != 1) {
        m_lastError = EINVAL;
        return false;
    }
    const ssize_t n = ::sendto(m_fd, kDiscoveryRequest.data(), kDiscoveryRequest.size(), 0,
                               reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    if (n == static_cast<ssize_t>(kDiscoveryRequest.size()))
        return true;
    m_lastError = n < 0 ? errno : EMSGSIZE;
    return false;
}

DiscoverySocket::Receive DiscoverySocket::receive(std::chrono::milliseconds wait, std::string& datagram) {
    datagram.clear();
    if (m_fd < 0) {
        m_lastError = EBADF;
        return Receive::Error;
    }
    pollfd p{m_fd, POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, static_cast<int>(wait.count()));
    } while (rc < 0 && errno == EINTR);
    if (rc == 0)
        return Receive::Nothing;
    if (rc < 0) {
        m_lastError = errno;
        return Receive::Error;
    }
    char buffer[kDiscoveryReadLimit];
    // A datagram longer than the buffer is cut; the parser never looks further anyway.
    const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
    if (n < 0) {
        m_lastError = errno;
        return Receive::Error;
    }
    datagram.assign(buffer, static_cast<std::size_t>(n));
    return Receive::Datagram;
}

} // namespace kvx
