#include "platform/berkeley_sockets.h"

// winsock2.h must come before windows.h, and the helpers after both.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <mswsock.h>
// clang-format on

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

namespace kvx::net {

using berkeley::fromSockaddr;
using berkeley::setOption;
using berkeley::toSockaddr;

static_assert(std::is_same_v<Socket, SOCKET>);
static_assert(kNoSocket == INVALID_SOCKET);

namespace {

// Winsock's codes and the errno values the callers test and word.
constexpr std::pair<int, int> kErrors[] = {
    {WSAEINTR, EINTR},
    {WSAEBADF, EBADF},
    {WSAEACCES, EACCES},
    {WSAEFAULT, EFAULT},
    {WSAEINVAL, EINVAL},
    {WSAEMFILE, EMFILE},
    {WSAEWOULDBLOCK, EWOULDBLOCK},
    {WSAEINPROGRESS, EINPROGRESS},
    {WSAEALREADY, EALREADY},
    {WSAENOTSOCK, ENOTSOCK},
    {WSAEDESTADDRREQ, EDESTADDRREQ},
    {WSAEMSGSIZE, EMSGSIZE},
    {WSAEPROTOTYPE, EPROTOTYPE},
    {WSAENOPROTOOPT, ENOPROTOOPT},
    {WSAEPROTONOSUPPORT, EPROTONOSUPPORT},
    {WSAEOPNOTSUPP, EOPNOTSUPP},
    {WSAEAFNOSUPPORT, EAFNOSUPPORT},
    {WSAEADDRINUSE, EADDRINUSE},
    {WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
    {WSAENETDOWN, ENETDOWN},
    {WSAENETUNREACH, ENETUNREACH},
    {WSAENETRESET, ENETRESET},
    {WSAECONNABORTED, ECONNABORTED},
    {WSAECONNRESET, ECONNRESET},
    {WSAENOBUFS, ENOBUFS},
    {WSAEISCONN, EISCONN},
    {WSAENOTCONN, ENOTCONN},
    {WSAETIMEDOUT, ETIMEDOUT},
    {WSAECONNREFUSED, ECONNREFUSED},
    {WSAELOOP, ELOOP},
    {WSAENAMETOOLONG, ENAMETOOLONG},
    {WSAEHOSTUNREACH, EHOSTUNREACH},
};

int portable(int wsaError) {
    for (const auto& [wsa, posix] : kErrors)
        if (wsa == wsaError)
            return posix;
    return wsaError; // Winsock's own numbers lie far above errno's
}

int native(int error) {
    for (const auto& [wsa, posix] : kErrors)
        if (posix == error)
            return wsa;
    return error;
}

int clampSize(std::size_t size) {
    return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

// A datagram longer than the buffer is cut, as on POSIX, not failed.
std::ptrdiff_t receiveResult(int n, std::size_t size) {
    if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEMSGSIZE)
        return static_cast<std::ptrdiff_t>(size);
    return n;
}

std::string utf8(const wchar_t* text, int length) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

} // namespace

std::optional<std::uint32_t> resolveIpv4(const std::string& host, std::string& error) {
    if (!startUp()) {
        error = errorText(lastError());
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    // The lookup's codes are Winsock's, which FormatMessage words without the static buffer of
    // gai_strerror.
    if (const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); status != 0) {
        error = errorText(portable(status));
        return std::nullopt;
    }
    const std::uint32_t address =
        ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

bool startUp() {
    // Never cleaned up: the library lives as long as the process.
    static const int result = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (result != 0)
        ::WSASetLastError(result);
    return result == 0;
}

int lastError() {
    return portable(::WSAGetLastError());
}

std::string errorText(int error) {
    const int code = native(error);
    if (code < WSABASEERR)
        return std::strerror(error);
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? utf8(buffer, static_cast<int>(length)) : std::string();
    if (buffer)
        ::LocalFree(buffer);
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && (text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "Winsock error " + std::to_string(code) : text;
}

Socket open(Type type) {
    if (!startUp())
        return kNoSocket;
    const Socket socket = ::WSASocketW(AF_INET, type == Type::Stream ? SOCK_STREAM : SOCK_DGRAM, 0, nullptr,
                                       0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket != kNoSocket && type == Type::Datagram) {
        // Otherwise a port-unreachable answer to an earlier datagram fails the next receive, which a
        // POSIX datagram socket that is not connected never sees.
        BOOL report = FALSE;
        DWORD returned = 0;
        ::WSAIoctl(socket, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr,
                   nullptr);
    }
    return socket;
}

void close(Socket& socket) {
    if (socket != kNoSocket)
        ::closesocket(socket);
    socket = kNoSocket;
}

bool setNonBlocking(Socket socket, bool nonBlocking) {
    u_long mode = nonBlocking ? 1 : 0;
    return ::ioctlsocket(socket, FIONBIO, &mode) == 0;
}

bool setCloseOnExec(Socket socket) {
    // Best effort: open() already asked for a handle that is not inherited.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    return true;
}

bool setListenerAddressReuse(Socket socket) {
    // Windows rebinds over lingering connections without help, and its SO_REUSEADDR would let a
    // second listener take a port that is in use; this keeps that bind failing.
    return setOption(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE);
}

int connectWithin(Socket socket, const Endpoint& remote, std::chrono::milliseconds bound) {
    if (!setNonBlocking(socket, true))
        return lastError();
    const sockaddr_in address = toSockaddr(remote);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int started = ::WSAGetLastError();
        if (started != WSAEWOULDBLOCK && started != WSAEINPROGRESS)
            return portable(started);
        // select, not WSAPoll: older WSAPoll never reports a refused connect and waits out the bound.
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        const auto ms = std::max<long long>(bound.count(), 0);
        timeval timeout{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
        const int rc = ::select(0, nullptr, &writable, &failed, &timeout);
        if (rc < 0)
            return lastError();
        int error = 0;
        int length = sizeof error;
        if (rc == 0)
            return ETIMEDOUT;
        if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
            return lastError();
        if (error != 0)
            return portable(error);
        if (FD_ISSET(socket, &failed))
            return ECONNREFUSED;
    }
    if (!setNonBlocking(socket, false))
        return lastError();
    return 0;
}

bool connectDatagram(Socket socket, const Endpoint& remote) {
    const sockaddr_in address = toSockaddr(remote);
    return ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::ptrdiff_t send(Socket socket, const void* data, std::size_t size) {
    return ::send(socket, static_cast<const char*>(data), clampSize(size), 0);
}

std::ptrdiff_t receive(Socket socket, void* buffer, std::size_t size) {
    return receiveResult(::recv(socket, static_cast<char*>(buffer), clampSize(size), 0), size);
}

std::ptrdiff_t sendTo(Socket socket, const void* data, std::size_t size, const Endpoint& remote) {
    const sockaddr_in address = toSockaddr(remote);
    return ::sendto(socket, static_cast<const char*>(data), clampSize(size), 0,
                    reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

std::ptrdiff_t receiveFrom(Socket socket, void* buffer, std::size_t size, Endpoint& remote) {
    sockaddr_in address{};
    int length = sizeof address;
    const std::ptrdiff_t n = receiveResult(::recvfrom(socket, static_cast<char*>(buffer), clampSize(size), 0,
                                                      reinterpret_cast<sockaddr*>(&address), &length),
                                           size);
    if (n >= 0)
        remote = fromSockaddr(address);
    return n;
}

bool shutdownSend(Socket socket) {
    return ::shutdown(socket, SD_SEND) == 0;
}

int poll(std::span<PollEntry> entries, int timeoutMs) {
    // WSAPoll takes only the flags it knows in `events`, and no closed or absent socket.
    std::vector<WSAPOLLFD> fds;
    std::vector<std::size_t> index;
    fds.reserve(entries.size());
    index.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].revents = 0;
        if (entries[i].socket == kNoSocket)
            continue;
        SHORT events = 0;
        if (entries[i].events & kReadable)
            events |= POLLRDNORM;
        if (entries[i].events & kWritable)
            events |= POLLWRNORM;
        fds.push_back({entries[i].socket, events, 0});
        index.push_back(i);
    }
    if (fds.empty()) {
        ::Sleep(timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        return 0;
    }
    const int rc = ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
    if (rc <= 0)
        return rc;
    for (std::size_t k = 0; k < fds.size(); ++k) {
        const SHORT r = fds[k].revents;
        PollEntry& entry = entries[index[k]];
        if (r & (POLLRDNORM | POLLRDBAND))
            entry.revents |= kReadable;
        if (r & POLLWRNORM)
            entry.revents |= kWritable;
        if (r & POLLERR)
            entry.revents |= kError;
        if (r & POLLHUP)
            entry.revents |= kHangUp | (entry.events & kPeerClosed);
        if (r & POLLNVAL)
            entry.revents |= kInvalid;
    }
    return rc;
}

bool openWakeChannel(WakeChannel& channel) {
    // No pipe can join a WSAPoll: a datagram socket on loopback that a second one sends to.
    channel.readEnd = open(Type::Datagram);
    channel.writeEnd = open(Type::Datagram);
    const std::optional<Endpoint> bound = channel.readEnd != kNoSocket && channel.writeEnd != kNoSocket &&
                                                  bind(channel.readEnd, {0x7F000001, 0})
                                              ? localEndpoint(channel.readEnd)
                                              : std::nullopt;
    if (!bound || !connectDatagram(channel.writeEnd, *bound) || !setNonBlocking(channel.readEnd, true) ||
        !setNonBlocking(channel.writeEnd, true)) {
        const int error = ::WSAGetLastError();
        closeWakeChannel(channel);
        ::WSASetLastError(error);
        return false;
    }
    return true;
}

void wake(const WakeChannel& channel) {
    if (channel.writeEnd != kNoSocket) {
        const char byte = 1;
        ::send(channel.writeEnd, &byte, 1, 0); // a full buffer wakes anyway
    }
}

void drainWake(const WakeChannel& channel) {
    char drain[64];
    while (::recv(channel.readEnd, drain, sizeof drain, 0) > 0) {
    }
}

} // namespace kvx::net
