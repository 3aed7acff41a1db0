#include "device_link.h"

#include "core/vocabulary.h"

#include <algorithm>
#include <cerrno>

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

int pollOne(net::Socket socket, unsigned events, int timeoutMs, unsigned& revents) {
    net::PollEntry entry{socket, events, 0};
    const int rc = net::poll(std::span(&entry, 1), timeoutMs);
    revents = entry.revents;
    return rc;
}

} // namespace

DeviceLink::~DeviceLink() {
    close();
}

bool DeviceLink::create() {
    close();
    m_fd = net::open(net::Type::Stream);
    if (m_fd == net::kNoSocket) {
        m_lastError = net::lastError();
        return false;
    }
    // Commands are single short lines; waiting for Nagle's timer would only add latency.
    net::setNoDelay(m_fd);
    return true;
}

bool DeviceLink::connectTo(const std::string& ipText, unsigned port) {
    return connectTo(ipText, port, m_timing.connectBound);
}

bool DeviceLink::connectTo(const std::string& ipText, unsigned port, std::chrono::milliseconds bound) {
    m_lastError = EBADF;
    if (m_fd == net::kNoSocket)
        return false;
    m_lastError = EINVAL;
    if (port > 65535)
        return false;
    const std::optional<std::uint32_t> address = net::parseIpv4(ipText);
    if (!address)
        return false;
    m_lastError = net::connectWithin(m_fd, {*address, static_cast<std::uint16_t>(port)},
                                     std::min(bound, m_timing.connectBound));
    if (m_lastError != 0)
        return false;
    m_connected = true;
    return true;
}

void DeviceLink::close() {
    net::close(m_fd);
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
    unsigned revents = 0;
    const int rc = pollOne(m_fd, net::kReadable, static_cast<int>(wait.count()), revents);
    if (rc < 0 || (revents & (net::kError | net::kInvalid)) != 0)
        return WaitResult::Failed;
    return rc == 0 ? WaitResult::TimedOut : WaitResult::Readable;
}

std::string DeviceLink::receiveChunk(std::size_t limit) {
    std::ptrdiff_t n;
    do {
        n = net::receive(m_fd, m_buffer.get(), std::min(limit, kReceiveLimit));
    } while (n < 0 && net::lastError() == EINTR);
    return n > 0 ? std::string(m_buffer.get(), static_cast<std::size_t>(n)) : std::string();
}

void DeviceLink::sendAll(std::string_view bytes) {
    // A failed send is not reported: the wait that follows times out and the caller says so.
    while (!bytes.empty()) {
        const std::ptrdiff_t n = net::send(m_fd, bytes.data(), bytes.size());
        if (n < 0 && net::lastError() == EINTR)
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
    if (m_fd == net::kNoSocket || !isSingleLine(command))
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
    if (m_fd == net::kNoSocket || waitReadable(wait) != WaitResult::Readable)
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
    if (m_fd == net::kNoSocket ||
        waitReadable(m_timing.unlimitedWaitBound, m_waitHook ? &waiter : nullptr) != WaitResult::Readable)
        return {};
    return receiveChunk(limit);
}

bool DeviceLink::peerHasClosed() const {
    if (m_fd == net::kNoSocket || !m_connected)
        return false;
    unsigned revents = 0;
    if (pollOne(m_fd, net::kPeerClosed, 0, revents) <= 0)
        return false;
    return (revents & (net::kPeerClosed | net::kHangUp)) != 0;
}

} // namespace kvx
