#pragma once

// Sockets behind one small seam, so that the core and the simulator hold no platform calls. Every
// address here is IPv4 in host byte order. Failures set the platform's last error, read at once with
// lastError() as an errno-style code (the same numbers on every platform), and errorText() words it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kvx::net {

#ifdef _WIN32
using Socket = std::uintptr_t; // the system's SOCKET
#else
using Socket = int;
#endif
inline constexpr Socket kNoSocket = static_cast<Socket>(-1);

struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};
inline constexpr std::uint32_t kAnyAddress = 0;

// Dotted IPv4 text; nothing for anything else ("127.0.0.300", a name).
std::optional<std::uint32_t> parseIpv4(const std::string& text);
std::string ipv4Text(std::uint32_t address);
// The first IPv4 address of a host name; nothing, with `error` saying why, when it has none.
std::optional<std::uint32_t> resolveIpv4(const std::string& host, std::string& error);

// Readies the socket library once for the process; safe to call from any thread, any number of times.
// open() and resolveIpv4() call it themselves.
bool startUp();

int lastError();
// One line, without a closing full stop.
std::string errorText(int error);

enum class Type { Stream, Datagram };
// Not inherited by child processes.
Socket open(Type type);
// Closes a socket that is open and leaves kNoSocket behind.
void close(Socket& socket);

bool setNonBlocking(Socket socket, bool nonBlocking);
bool setCloseOnExec(Socket socket);
bool setNoDelay(Socket socket);
bool setBroadcast(Socket socket);
// For a listener: it can bind its port again while connections of its last life linger, yet binding a
// port that another listener holds still fails.
bool setListenerAddressReuse(Socket socket);

bool bind(Socket socket, const Endpoint& local);
bool listen(Socket socket, int backlog);
std::optional<Endpoint> localEndpoint(Socket socket);
// kNoSocket when no connection is waiting (EWOULDBLOCK) or it failed.
Socket accept(Socket listener, Endpoint& peer);
// Connects without ever blocking past `bound`; 0, or the error (ETIMEDOUT when the bound ran out). The
// socket is blocking again afterwards.
int connectWithin(Socket socket, const Endpoint& remote, std::chrono::milliseconds bound);
// Picks the route towards `remote` for a datagram socket; sends nothing.
bool connectDatagram(Socket socket, const Endpoint& remote);

// Each returns the bytes moved, 0 for a stream its peer has closed, -1 on failure (EINTR included).
// A send to a closed peer fails instead of raising a signal.
std::ptrdiff_t send(Socket socket, const void* data, std::size_t size);
std::ptrdiff_t receive(Socket socket, void* buffer, std::size_t size);
std::ptrdiff_t sendTo(Socket socket, const void* data, std::size_t size, const Endpoint& remote);
std::ptrdiff_t receiveFrom(Socket socket, void* buffer, std::size_t size, Endpoint& remote);
bool shutdownSend(Socket socket);

enum PollEvent : unsigned {
    kReadable = 1,
    kWritable = 2,
    kError = 4,      // reported only
    kHangUp = 8,     // reported only
    kInvalid = 16,   // reported only
    kPeerClosed = 32 // the peer's FIN, where the platform tells it apart; else kHangUp
};
struct PollEntry {
    Socket socket = kNoSocket;
    unsigned events = 0;
    unsigned revents = 0;
};
// Waits at most `timeoutMs` (-1: no limit) for one of the entries; an entry holding kNoSocket is
// skipped. The number of entries with events, 0 when the time ran out, -1 on failure. An interrupted
// wait goes on for the time left.
int poll(std::span<PollEntry> entries, int timeoutMs);

// A wake-up channel for a poll loop: wake() makes `readEnd` readable, and is safe in a signal handler.
struct WakeChannel {
    Socket readEnd = kNoSocket;
    Socket writeEnd = kNoSocket;
};
// Both ends non-blocking and not inherited; on failure nothing stays open.
bool openWakeChannel(WakeChannel& channel);
void closeWakeChannel(WakeChannel& channel);
void wake(const WakeChannel& channel);
void drainWake(const WakeChannel& channel);

} // namespace kvx::net
