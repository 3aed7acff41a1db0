#include "platform/berkeley_sockets.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace kvx::net {

using berkeley::fromSockaddr;
using berkeley::setOption;
using berkeley::toSockaddr;
namespace {

#ifdef POLLRDHUP
constexpr short kPeerClosedEvents = POLLRDHUP | POLLHUP;
#else
constexpr short kPeerClosedEvents = POLLHUP;
#endif

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

short toPollEvents(unsigned events) {
    short result = 0;
    if (events & kReadable)
        result |= POLLIN;
    if (events & kWritable)
        result |= POLLOUT;
    if (events & kPeerClosed)
        result |= kPeerClosedEvents;
    return result;
}

unsigned fromPollEvents(short revents) {
    unsigned result = 0;
    if (revents & POLLIN)
        result |= kReadable;
    if (revents & POLLOUT)
        result |= kWritable;
    if (revents & POLLERR)
        result |= kError;
    if (revents & POLLHUP)
        result |= kHangUp;
    if (revents & POLLNVAL)
        result |= kInvalid;
    if (revents & (kPeerClosedEvents & ~POLLHUP))
        result |= kPeerClosed;
    return result;
}

} // namespace

std::optional<std::uint32_t> resolveIpv4(const std::string& host, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); status != 0) {
        error = status == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(status);
        return std::nullopt;
    }
    const std::uint32_t address =
        ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

bool startUp() {
    return true;
}

int lastError() {
    return errno;
}

std::string errorText(int error) {
    return std::strerror(error);
}

Socket open(Type type) {
    return ::socket(AF_INET, (type == Type::Stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, 0);
}

void close(Socket& socket) {
    if (socket >= 0)
        ::close(socket);
    socket = kNoSocket;
}

bool setNonBlocking(Socket socket, bool nonBlocking) {
    const int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0)
        return false;
    return ::fcntl(socket, F_SETFL, nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0;
}

bool setCloseOnExec(Socket socket) {
    return ::fcntl(socket, F_SETFD, FD_CLOEXEC) == 0;
}

bool setListenerAddressReuse(Socket socket) {
    return setOption(socket, SOL_SOCKET, SO_REUSEADDR);
}

int connectWithin(Socket socket, const Endpoint& remote, std::chrono::milliseconds bound) {
    // A host that never answers would hold a blocking connect for minutes of SYN retries.
    if (!setNonBlocking(socket, true))
        return errno;
    const sockaddr_in address = toSockaddr(remote);
    int rc = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    int result = rc != 0 ? errno : 0;
    if (rc != 0 && errno == EINPROGRESS) {
        PollEntry entry{socket, kWritable, 0};
        rc = poll(std::span(&entry, 1), static_cast<int>(bound.count()));
        int error = 0;
        socklen_t length = sizeof error;
        if (rc == 1 && ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
            rc = 0;
        else
            rc = -1;
        result = rc == 0 ? 0 : error != 0 ? error : ETIMEDOUT;
    }
    if (rc != 0)
        return result;
    if (!setNonBlocking(socket, false))
        return errno;
    return 0;
}

bool connectDatagram(Socket socket, const Endpoint& remote) {
    const sockaddr_in address = toSockaddr(remote);
    return ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::ptrdiff_t send(Socket socket, const void* data, std::size_t size) {
    return ::send(socket, data, size, kSendFlags);
}

std::ptrdiff_t receive(Socket socket, void* buffer, std::size_t size) {
    return ::recv(socket, buffer, size, 0);
}

std::ptrdiff_t sendTo(Socket socket, const void* data, std::size_t size, const Endpoint& remote) {
    const sockaddr_in address = toSockaddr(remote);
    return ::sendto(socket, data, size, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

std::ptrdiff_t receiveFrom(Socket socket, void* buffer, std::size_t size, Endpoint& remote) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const ssize_t n = ::recvfrom(socket, buffer, size, 0, reinterpret_cast<sockaddr*>(&address), &length);
    if (n >= 0)
        remote = fromSockaddr(address);
    return n;
}

bool shutdownSend(Socket socket) {
    return ::shutdown(socket, SHUT_WR) == 0;
}

int poll(std::span<PollEntry> entries, int timeoutMs) {
    std::vector<pollfd> fds(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        fds[i] = {entries[i].socket, toPollEvents(entries[i].events), 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int wait = timeoutMs;
    int rc;
    for (;;) {
        rc = ::poll(fds.data(), fds.size(), wait);
        if (rc >= 0 || errno != EINTR)
            break;
        if (timeoutMs > 0)
            wait = static_cast<int>(std::max<long long>(
                0, std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())
                       .count()));
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].revents = rc > 0 ? fromPollEvents(fds[i].revents) : 0;
    return rc;
}

bool openWakeChannel(WakeChannel& channel) {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    channel = {fds[0], fds[1]};
    for (const Socket end : {channel.readEnd, channel.writeEnd}) {
        if (!setNonBlocking(end, true) || !setCloseOnExec(end)) {
            const int error = errno;
            closeWakeChannel(channel);
            errno = error;
            return false;
        }
    }
    return true;
}

void wake(const WakeChannel& channel) {
    if (channel.writeEnd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto ignored = ::write(channel.writeEnd, &byte, 1); // a full pipe wakes anyway
    }
}

void drainWake(const WakeChannel& channel) {
    char drain[64];
    while (::read(channel.readEnd, drain, sizeof drain) > 0) {
    }
}

} // namespace kvx::net
