#include "device_link.h"

#include "core/vocabulary.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvx {
namespace {

// Set for the length of a wait, however it ends.
class WaitingFlag {
public:
    explicit WaitingFlag(bool& flag)
        : m_flag(flag) {
        m_flag = true;
    }
    ~WaitingFlag() { m_flag = false; }
    WaitingFlag(const WaitingFlag&) = delete;
    WaitingFlag& operator=(const WaitingFlag&) = delete;

private:
    bool& m_flag;
};

#ifdef POLLRDHUP
constexpr short kPeerClosedEvents = POLLRDHUP | POLLHUP;
#else
constexpr short kPeerClosedEvents = POLLHUP;
#endif

int pollOne(int fd, short events, int timeoutMs, short& revents) {
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    revents = p.revents;
    return rc;
}

bool setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

} // namespace

DeviceLink::~DeviceLink() {
    close();
}

bool DeviceLink::create() {
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return false;
    // Commands are single short lines; waiting for Nagle's timer would only add latency.
    const int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

bool DeviceLink::connectTo(const std::string& ipText, unsigned port) {
    return connectTo(ipText, port, m_timing.connectBound);
}

bool DeviceLink::connectTo(const std::string& ipText, unsigned port, std::chrono::milliseconds bound) {
    m_lastError = EBADF;
    if (m_fd < 0)
        return false;
    m_lastError = EINVAL;
    if (port > 65535)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, ipText.c_str(), &addr.sin_addr) != 1)
        return false;

    // A host that never answers would hold a blocking connect for minutes of SYN retries; connect
    // without blocking and wait a bounded time instead.
    if (!setBlocking(m_fd, false)) {
        m_lastError = errno;
        return false;
    }
    int rc = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    m_lastError = rc != 0 ? errno : 0;
    if (rc != 0 && errno == EINPROGRESS) {
        short revents = 0;
        rc =
            pollOne(m_fd, POLLOUT, static_cast<int>(std::min(bound, m_timing.connectBound).count()), revents);
        int error = 0;
        socklen_t len = sizeof error;
        if (rc == 1 && ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
            rc = 0;
        else
            rc = -1;
        m_lastError = rc == 0 ? 0 : error != 0 ? error : ETIMEDOUT;
    }
    if (rc != 0)
        return false;
    if (!setBlocking(m_fd, true)) {
        m_lastError = errno;
        return false;
    }
    m_connected = true;
    return true;
}

void DeviceLink::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_connected = false;
}

DeviceLink::WaitResult DeviceLink::waitReadable(std::chrono::milliseconds wait, const Waiter* waiter) const {
    if (m_deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            *m_deadline - std::chrono::steady_clock::now());
        wait = std::clamp(left, std::chrono::milliseconds(0), wait);
    }
    if (!waiter)
        return pollReadable(wait);
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        const WaitResult result =
            pollReadable(std::clamp(left, std::chrono::milliseconds(0), kWaitHookInterval));
        if (result != WaitResult::TimedOut || left <= kWaitHookInterval)
            return result;
        waiter->hook(waiter->command, std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - waiter->sent));
    }
}

DeviceLink::WaitResult DeviceLink::pollReadable(std::chrono::milliseconds wait) const {
    short revents = 0;
    const int rc = pollOne(m_fd, POLLIN, static_cast<int>(wait.count()), revents);
    if (rc < 0 || (revents & (POLLERR | POLLNVAL)) != 0)
        return WaitResult::Failed;
    return rc == 0 ? WaitResult::TimedOut : WaitResult::Readable;
}

std::string DeviceLink::receiveChunk(std::size_t limit) {
    ssize_t n;
    do {
        n = ::recv(m_fd, m_buffer.get(), std::min(limit, kReceiveLimit), 0);
    } while (n < 0 && errno == EINTR);
    return n > 0 ? std::string(m_buffer.get(), static_cast<std::size_t>(n)) : std::string();
}

void DeviceLink::sendAll(std::string_view bytes) {
    // A failed send is not reported: the wait that follows times out and the caller says so.
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string DeviceLink::transact(std::string_view command, int waitSeconds, Transcript& transcript,
                                 std::optional<std::string_view> echo) {
    // A line break inside a command would make the device run a second command that nobody chose; such a
    // command is not sent, and the caller takes its failure path as for a device that did not answer.
    if (m_fd < 0 || !isSingleLine(command))
        return {};

    drain(std::chrono::milliseconds(0), transcript);
    transcript.append(echo.value_or(command));

    sendAll(command);
    const Waiter waiter{m_waitHook, command, std::chrono::steady_clock::now()};
    const Waiter* const watched = m_waitHook ? &waiter : nullptr;
    const WaitingFlag flag(m_waiting);
    std::string reply;
    if (waitSeconds <= 0) {
        const auto deadline = std::chrono::steady_clock::now() + m_timing.unlimitedWaitBound;
        if (waitReadable(m_timing.unlimitedWaitBound, watched) == WaitResult::Readable)
            reply = receiveChunk(kReceiveLimit);
        // A reply that arrived in pieces is taken whole: the rest of a begun line, while it keeps coming.
        while (!reply.empty() && !reply.ends_with('\n') && std::chrono::steady_clock::now() < deadline &&
               waitReadable(m_timing.waitUnit, watched) == WaitResult::Readable) {
            const std::string more = receiveChunk(kReceiveLimit);
            if (more.empty())
                break;
            reply += more;
            if (reply.size() > kReplyLimit)
                return {};
        }
        transcript.append(reply);
        return reply;
    }

    const std::chrono::milliseconds wait = m_timing.waitUnit * waitSeconds;
    const auto deadline = std::chrono::steady_clock::now() + wait + m_timing.replyGrace;
    bool tokenSeen = false;
    // Up to kMaxPasses receives look for the token; once it is there, the line holding it is completed,
    // so that a reply cut into small packets does not end after "+OK". However the bytes come, the
    // whole call stays within one wait and the grace: each pass may wait a whole `wait` for its first
    // byte, but not beyond that deadline.
    for (int pass = 0; tokenSeen || pass < kMaxPasses; ++pass) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds(0)) {
            if (!tokenSeen)
                return reply;
            break;
        }
        switch (waitReadable(std::min(left, wait), watched)) {
        case WaitResult::Failed:
            return {};
        case WaitResult::TimedOut:
            if (!tokenSeen)
                return reply;
            transcript.append(reply);
            return reply;
        case WaitResult::Readable:
            break;
        }
        const std::string more = receiveChunk(kReceiveLimit);
        if (more.empty() && tokenSeen)
            break;
        reply += more;
        // Past the bound the reply is dropped whole, unechoed, as a failed wait's would be.
        if (reply.size() > kReplyLimit)
            return {};
        tokenSeen = containsToken(reply);
        if (tokenSeen && reply.ends_with('\n'))
            break;
    }
    transcript.append(reply);
    return reply;
}

bool DeviceLink::drain(std::chrono::milliseconds wait, Transcript& transcript) {
    if (m_fd < 0 || waitReadable(wait) != WaitResult::Readable)
        return false;
    const std::string late = receiveChunk(kReceiveLimit);
    if (late.empty())
        return false;
    transcript.append(late);
    ++m_unaskedReplies;
    return true;
}

bool DeviceLink::lookForUnasked(std::chrono::milliseconds wait, Transcript& transcript) {
    const WaitingFlag flag(m_waiting);
    return drain(wait, transcript);
}

std::string DeviceLink::receiveOnce(std::size_t limit) {
    const Waiter waiter{m_waitHook, {}, std::chrono::steady_clock::now()};
    const WaitingFlag flag(m_waiting);
    if (m_fd < 0 ||
        waitReadable(m_timing.unlimitedWaitBound, m_waitHook ? &waiter : nullptr) != WaitResult::Readable)
        return {};
    return receiveChunk(limit);
}

bool DeviceLink::peerHasClosed() const {
    if (m_fd < 0 || !m_connected)
        return false;
    short revents = 0;
    if (pollOne(m_fd, kPeerClosedEvents, 0, revents) <= 0)
        return false;
    return (revents & kPeerClosedEvents) != 0;
}

} // namespace kvx
