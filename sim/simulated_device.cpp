#include "simulated_device.h"

#include "core/vocabulary.h"
#include "sim/bluetooth_state.h"
#include "sim/command_table.h"
#include "sim/port_settings_state.h"
#include "sim/repeater_state.h"
#include "sim/route_state.h"
#include "sim/server_client_state.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kvx::sim {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using kvx::kDiscoveryMarker;
using kvx::kDiscoveryRequest;

// A command line may hold this many bytes before its CR LF; anything longer is refused and skipped.
constexpr std::size_t kMaxLineBytes = 4096;
// Stop reading from a peer that does not read its replies once this much output is waiting.
constexpr std::size_t kMaxPendingOutput = 1u << 20;
// A flood stops by itself after this much, so that a simulator left running with one does not stream
// for ever to a peer that keeps reading.
constexpr std::uint64_t kFloodBytes = std::uint64_t{1} << 30;
constexpr std::size_t kFloodBlock = 64 * 1024;
constexpr std::size_t kMaxRecordedCommands = 10000;
constexpr std::size_t kMaxEvents = 256;
constexpr std::size_t kDefaultLogBudget = 8000;
constexpr milliseconds kRebindRetry{250};

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

std::string errnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::optional<in_addr> parseIpv4(const std::string& text) {
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    return address;
}

std::string ipv4Text(const in_addr& address) {
    char buffer[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, buffer, sizeof buffer);
    return buffer;
}

std::string peerText(const sockaddr_in& peer) {
    return ipv4Text(peer.sin_addr) + ":" + std::to_string(ntohs(peer.sin_port));
}

// The address this host would use to answer the peer. Connecting a UDP socket only picks a route; no
// datagram leaves.
std::string localAddressTowards(const sockaddr_in& peer) {
    std::string result;
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return result;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        result = ipv4Text(local.sin_addr);
    closeFd(fd);
    return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Control bytes never occur in a command the manager builds; typed names may carry UTF-8, so bytes
// above 0x7F pass.
bool hasControlBytes(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
}

// Each line ends in CR LF whatever the text used, so the reply is well formed however the log was given.
std::string withCrLfLines(std::string_view text) {
    std::string result;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        result.append(line).append("\r\n");
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return result;
}

struct Chunk {
    enum class Kind { Data, Flood, Close, Reboot };
    Clock::time_point due;
    Kind kind = Kind::Data;
    std::string bytes;
};

struct Connection {
    int fd = -1;
    in_addr_t peerAddress = 0;
    std::string peer;
    Clock::time_point lastCommand; // when the last complete line arrived (or the connection was made)
    std::string input;
    bool discardingLongLine = false;
    bool loggedIn = false;
    std::string userId;
    int commandCount = 0;
    bool closing = false;    // a close or reboot is queued: later input is read and dropped
    bool peerClosed = false; // the peer sent its FIN: close once everything queued went out
    bool dead = false;
    std::deque<Chunk> queue;
    std::size_t queuedBytes = 0;
    Clock::time_point lastDue{};
    std::string out; // bytes of the chunk being written
    std::size_t outOffset = 0;
    std::uint64_t floodLeft = 0; // flood bytes still to stream once `out` went out

    std::size_t pendingOutput() const { return queuedBytes + out.size() - outOffset; }
    // Gone, or closed by the peer with nothing left to send: it no longer holds a slot.
    bool leaving() const { return dead || (peerClosed && pendingOutput() == 0); }
};

struct Reply {
    std::string text;
    bool reboot = false;
};

} // namespace

std::optional<std::array<std::uint8_t, 6>> parseColonAddress(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::array<std::uint8_t, 6> bytes{};
    for (std::size_t i = 0; i < 6; ++i) {
        const int high = hex(text[i * 3]);
        const int low = hex(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != ':'))
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

std::string buildDiscoveryReply(const DeviceOptions& options, const std::string& ipAddress,
                                std::uint16_t controlPort) {
    std::string reply(kDiscoveryMarker);
    const auto record = [&reply](std::uint8_t type, std::string_view value) {
        value = value.substr(0, 255); // the length is one byte
        reply.push_back(static_cast<char>(type));
        reply.push_back(static_cast<char>(value.size()));
        reply.append(value);
    };
    const auto bytesOf = [](const auto& array) {
        return std::string(reinterpret_cast<const char*>(array.data()), array.size());
    };

    record(1, options.productName);
    record(2, options.modelCode);
    record(3, options.serialNumber);

    const in_addr address = parseIpv4(ipAddress).value_or(in_addr{});
    record(4, std::string_view(reinterpret_cast<const char*>(&address.s_addr), 4)); // already network order

    const std::array<std::uint8_t, 2> port{static_cast<std::uint8_t>(controlPort >> 8),
                                           static_cast<std::uint8_t>(controlPort & 0xFF)};
    record(5, bytesOf(port));

    record(6, bytesOf(parseColonAddress(options.macAddress).value_or(std::array<std::uint8_t, 6>{})));
    record(7, options.btName);

    auto bd = parseColonAddress(options.btAddress).value_or(std::array<std::uint8_t, 6>{});
    std::reverse(bd.begin(), bd.end()); // least significant byte first on the wire
    record(8, bytesOf(bd));
    return reply;
}

struct SimulatedDevice::Impl {
    using Handler = Reply (Impl::*)(Connection&, std::string_view argument);
    struct Command {
        Handler handler;
        bool beforeLogin = false;
    };

    explicit Impl(DeviceOptions deviceOptions)
        : m_options(std::move(deviceOptions))
        , m_currentMode(m_options.initialMode)
        , m_bootTime(Clock::now()) {
        // A new command is one line here plus its handler; the word is matched case-sensitively.
        // clang-format off
        m_commands = {
            {"User",   {&Impl::onUser, true}},
            {"Pass",   {&Impl::onPass, true}},
            {"help",   {&Impl::onHelp}},
            {"Ver",    {&Impl::onVersion}},
            {"list",   {&Impl::onListCheck}},
            {"Mode",   {&Impl::onModeQuery}},
            {"mode",   {&Impl::onModeChange}},
            {"Reboot", {&Impl::onReboot}},
            {"log",    {&Impl::onLog}},
        };
        // clang-format on
        m_bluetooth.registerCommands(m_settings);
        m_portSettings.registerCommands(m_settings);
        m_repeater.registerCommands(m_settings);
        m_server.registerCommands(m_settings);
        m_client.registerCommands(m_settings);
        m_routes.registerCommands(m_settings);
        for (const LinkInfo& link : m_options.links)
            m_bluetooth.addLink(link);
        for (const NeighbourInfo& neighbour : m_options.neighbours)
            m_bluetooth.addNeighbour(neighbour);
        m_bluetooth.setChurn(m_options.linkChurn);
    }

    ~Impl() {
        closeFd(m_wakeRead);
        closeFd(m_wakeWrite);
    }

    const DeviceOptions m_options;
    std::map<std::string, Command, std::less<>> m_commands;
    // The settings areas; their handlers run with m_mutex held, like the ones above.
    CommandTable m_settings;
    BluetoothState m_bluetooth{m_options.btName, m_options.btAddress};
    PortSettingsState m_portSettings;
    RepeaterState m_repeater{m_options.repeaterNetwork, m_options.stationAddress};
    ServerState m_server;
    ClientState m_client;
    RouteState m_routes;

    // Shared with other threads; guarded by m_mutex.
    mutable std::mutex m_mutex;
    FaultOptions m_faults;
    int m_currentMode;
    bool m_bluetoothActive = false;
    std::string m_logText;
    std::deque<std::string> m_received;
    std::deque<std::string> m_events;
    std::size_t m_accepted = 0;
    std::size_t m_answered = 0;
    std::string m_lastError;
    std::uint16_t m_boundControlPort = 0;
    std::uint16_t m_boundDiscoveryPort = 0;

    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_serving{false};
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;

    // Loop thread only.
    int m_udpFd = -1;
    int m_listenFd = -1;
    std::vector<std::unique_ptr<Connection>> m_connections;
    bool m_rebootRequested = false;
    std::optional<Clock::time_point> m_upAgainAt; // set while the device is rebooting
    Clock::time_point m_bootTime;

    // ---- set-up -------------------------------------------------------------------------------------

    void setError(std::string text) {
        std::lock_guard lock(m_mutex);
        m_lastError = std::move(text);
    }

    bool openWakePipe() {
        if (m_wakeRead >= 0)
            return true;
        int fds[2];
        if (::pipe(fds) != 0) {
            setError(errnoText("pipe"));
            return false;
        }
        m_wakeRead = fds[0];
        m_wakeWrite = fds[1];
        if (!setNonBlocking(m_wakeRead) || !setNonBlocking(m_wakeWrite)) {
            setError(errnoText("fcntl"));
            closeFd(m_wakeRead);
            closeFd(m_wakeWrite);
            return false;
        }
        return true;
    }

    void wake() const {
        if (m_wakeWrite >= 0) {
            const char byte = 1;
            [[maybe_unused]] const auto ignored = ::write(m_wakeWrite, &byte, 1); // a full pipe wakes anyway
        }
    }

    int bindSocket(int type, std::uint16_t port, std::uint16_t& boundPort) {
        const auto address = parseIpv4(m_options.bindAddress);
        if (!address) {
            setError("bad bind address: " + m_options.bindAddress);
            return -1;
        }
        int fd = ::socket(AF_INET, type, 0);
        if (fd < 0) {
            setError(errnoText("socket"));
            return -1;
        }
        const int on = 1;
        if (type == SOCK_STREAM)
            ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on); // rebinding after a reboot
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr = *address;
        local.sin_port = htons(port);
        socklen_t length = sizeof local;
        const char* step = nullptr;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
            step = "bind";
        else if (type == SOCK_STREAM && ::listen(fd, 16) != 0)
            step = "listen";
        else if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
            step = "getsockname";
        else if (!setNonBlocking(fd))
            step = "fcntl";
        if (step) {
            setError(errnoText(step) + " (" + m_options.bindAddress + ":" + std::to_string(port) + ")");
            closeFd(fd);
            return -1;
        }
        boundPort = ntohs(local.sin_port);
        return fd;
    }

    bool openSockets() {
        if (m_serving.load()) {
            setError("already running");
            return false;
        }
        if (!openWakePipe())
            return false;
        char drain[64];
        while (::read(m_wakeRead, drain, sizeof drain) > 0) {
        }
        std::uint16_t discoveryPort = 0;
        std::uint16_t controlPort = 0;
        m_udpFd = bindSocket(SOCK_DGRAM, m_options.discoveryPort, discoveryPort);
        if (m_udpFd < 0)
            return false;
        m_listenFd = bindSocket(SOCK_STREAM, m_options.controlPort, controlPort);
        if (m_listenFd < 0) {
            closeFd(m_udpFd);
            return false;
        }
        {
            std::lock_guard lock(m_mutex);
            m_boundDiscoveryPort = discoveryPort;
            m_boundControlPort = controlPort;
            m_lastError.clear();
        }
        m_stopRequested = false;
        m_serving = true;
        m_upAgainAt.reset();
        recordBoot();
        return true;
    }

    // ---- events and log -----------------------------------------------------------------------------

    void addEventLocked(const std::string& text) {
        const auto uptime = std::chrono::duration_cast<milliseconds>(Clock::now() - m_bootTime).count();
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "[%6lld.%03lld] ", static_cast<long long>(uptime / 1000),
                      static_cast<long long>(uptime % 1000));
        m_events.push_back(stamp + text);
        if (m_events.size() > kMaxEvents)
            m_events.pop_front();
    }

    void recordBoot() {
        m_bootTime = Clock::now();
        std::lock_guard lock(m_mutex);
        addEventLocked("System start: " + m_options.productName + " model " + m_options.modelCode +
                       " serial " + m_options.serialNumber + " firmware " + m_options.firmwareVersion);
        addEventLocked("eth0: MAC " + m_options.macAddress + ", address " + m_options.bindAddress);
        addEventLocked("bt0: local device " + m_options.btAddress + " \"" + m_options.btName + "\" up");
        addEventLocked("Operation mode: " + std::string(modeCaptionOrUnknown(m_currentMode)));
        addEventLocked("Control port " + std::to_string(m_boundControlPort) + " listening, discovery port " +
                       std::to_string(m_boundDiscoveryPort));
    }

    static std::string_view modeCaptionOrUnknown(int index) {
        const std::string_view caption = kvx::modeCaption(index);
        return caption.empty() ? std::string_view("Unknown Mode") : caption;
    }

    // ---- command handlers (called with m_mutex held) ------------------------------------------------

    Reply onUser(Connection& c, std::string_view argument) {
        c.userId = std::string(argument);
        return {"+OK Password required\r\n"};
    }

    Reply onPass(Connection& c, std::string_view argument) {
        c.loggedIn = c.userId == m_options.user && argument == m_options.password;
        if (!c.loggedIn) {
            addEventLocked("Login failed for user \"" + c.userId + "\" from " + c.peer);
            return {"-ERR Authentication failed\r\n"};
        }
        addEventLocked("User " + c.userId + " logged in from " + c.peer);
        return {"+OK User Authenticated\r\n"};
    }

    // The first line is what the manager reads as the capability line; the rest is for people.
    Reply onHelp(Connection&, std::string_view) {
        std::string text = "+OK " + m_options.capabilities + "\r\n";
        for (const auto& [word, command] : m_commands)
            text.append(word).append("\r\n");
        m_settings.forEachWord([&text](const std::string& word) { text.append(word).append("\r\n"); });
        return {text};
    }

    Reply onVersion(Connection&, std::string_view) {
        return {"+OK Ver " + m_options.firmwareVersion + "\r\n"};
    }

    Reply onListCheck(Connection&, std::string_view) {
        return {m_bluetoothActive ? "-ERR Bluetooth serial connection active\r\n" : "+OK\r\n"};
    }

    Reply onModeQuery(Connection&, std::string_view) {
        return {"+OK " + std::string(modeCaptionOrUnknown(m_currentMode)) + "\r\n"};
    }

    // The mode page sends the keyword; a restored configuration also sends the caption, in any case.
    Reply onModeChange(Connection& c, std::string_view argument) {
        argument = trimBlanks(argument);
        if (argument.empty()) // a configuration backup asks in lower case
            return onModeQuery(c, argument);
        const auto& modes = kvx::modeTable();
        for (int i = 0; i < kvx::kModeCount; ++i) {
            const auto& mode = modes[static_cast<std::size_t>(i)];
            if (equalsIgnoringCase(argument, mode.keyword) || equalsIgnoringCase(argument, mode.caption)) {
                m_currentMode = i;
                addEventLocked("Operation mode changed to " + std::string(mode.caption) + " by " + c.peer);
                return {"+OK\r\n"};
            }
        }
        return {"-ERR Unknown mode\r\n"};
    }

    Reply onReboot(Connection& c, std::string_view) {
        addEventLocked("Reboot requested from " + c.peer);
        return {"+OK\r\n", true};
    }

    Reply onLog(Connection&, std::string_view) {
        std::string body;
        if (!m_logText.empty()) {
            body = withCrLfLines(m_logText);
        } else {
            // The newest events that fit, oldest first, so a long-running device keeps its reply small.
            std::size_t first = m_events.size();
            std::size_t size = 0;
            while (first > 0 && size + m_events[first - 1].size() + 2 <= kDefaultLogBudget)
                size += m_events[--first].size() + 2;
            for (std::size_t i = first; i < m_events.size(); ++i)
                body.append(m_events[i]).append("\r\n");
        }
        return {body + "+OK\r\n"};
    }

    // ---- control connections ------------------------------------------------------------------------

    void enqueue(Connection& c, Chunk chunk) {
        // The queue is sent strictly in order; a chunk never falls due before the one ahead of it, so the
        // gaps of a cut reply survive behind a late one.
        chunk.due = std::max(chunk.due, c.lastDue);
        c.lastDue = chunk.due;
        c.queuedBytes += chunk.bytes.size();
        c.queue.push_back(std::move(chunk));
    }

    void enqueueReply(Connection& c, const std::string& text, Clock::time_point due, const FaultOptions& f) {
        if (f.packetSize == 0 || text.size() <= f.packetSize) {
            enqueue(c, {due, Chunk::Kind::Data, text});
            return;
        }
        for (std::size_t offset = 0; offset < text.size(); offset += f.packetSize) {
            enqueue(c, {due, Chunk::Kind::Data, text.substr(offset, f.packetSize)});
            due += f.packetGap;
        }
    }

    void recordLocked(std::string line) {
        m_received.push_back(std::move(line));
        if (m_received.size() > kMaxRecordedCommands)
            m_received.pop_front();
    }

    Reply dispatch(Connection& c, std::string_view word, std::string_view argument) {
        const auto it = m_commands.find(word);
        if (it != m_commands.end() && (c.loggedIn || it->second.beforeLogin))
            return (this->*it->second.handler)(c, argument);
        if (const CommandTable::Handler* handler = m_settings.find(word); handler && c.loggedIn)
            return {(*handler)(argument)};
        if (!c.loggedIn)
            return {"-ERR Login required\r\n"};
        return {"-ERR Unknown command\r\n"};
    }

    void handleLine(Connection& c, std::string line, Clock::time_point now) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::lock_guard lock(m_mutex);
        const FaultOptions& f = m_faults;
        recordLocked(line);
        ++c.commandCount;
        const bool last = f.closeAfterCommands > 0 && c.commandCount >= f.closeAfterCommands;
        if (last && f.closeInsteadOfReply) {
            enqueue(c, {now, Chunk::Kind::Close, {}});
            c.closing = true;
            return;
        }

        std::string_view body = line;
        if (!body.empty() && body.back() == ';') // restored settings arrive as "word value;"
            body.remove_suffix(1);
        Reply reply;
        bool silent = false;
        bool flooded = false;
        bool trickled = false;
        bool cutOff = false;
        milliseconds extra{0};
        if (hasControlBytes(body)) {
            reply.text = "-ERR Bad characters in command\r\n";
        } else if (trimBlanks(body).empty()) {
            reply.text = "-ERR Empty command\r\n";
        } else {
            body = trimBlanks(body);
            const std::size_t blank = body.find_first_of(" \t");
            const std::string_view word = body.substr(0, blank);
            const std::string_view argument = blank == std::string_view::npos
                                                  ? std::string_view{}
                                                  : body.substr(body.find_first_not_of(" \t", blank));
            const auto named = [&](const auto& faults) {
                return (!f.wholeLines && faults.count(std::string(word)) != 0) ||
                       faults.count(std::string(body)) != 0;
            };
            if (named(f.silentCommands)) {
                silent = true;
            } else if (named(f.floodCommands)) {
                flooded = true;
            } else if (named(f.refusedCommands)) {
                reply.text = "-ERR\r\n";
            } else {
                for (const std::string& key :
                     {std::string(body), f.wholeLines ? std::string() : std::string(word)})
                    if (const auto late = f.lateCommands.find(key);
                        late != f.lateCommands.end() && extra == milliseconds(0))
                        extra = late->second;
                reply = dispatch(c, word, argument);
            }
            trickled = named(f.trickledCommands);
            cutOff = named(f.cutOffCommands);
        }
        if (flooded) {
            enqueue(c, {now + f.replyDelay, Chunk::Kind::Data, "+OK "});
            enqueue(c, {now + f.replyDelay, Chunk::Kind::Flood, {}});
            enqueue(c, {now + f.replyDelay, Chunk::Kind::Close, {}});
            c.closing = true;
            return;
        }
        if (cutOff) {
            enqueue(c, {now + f.replyDelay, Chunk::Kind::Data, reply.text.substr(0, reply.text.size() / 2)});
            enqueue(c, {now + f.replyDelay, Chunk::Kind::Close, {}});
            c.closing = true;
            return;
        }
        if (trickled) {
            FaultOptions bytewise = f;
            bytewise.packetSize = 1;
            enqueueReply(c, reply.text, now + f.replyDelay + extra, bytewise);
        } else if (!silent) {
            enqueueReply(c, reply.text, now + f.replyDelay + extra, f);
        }
        if (reply.reboot) {
            enqueue(c, {now, Chunk::Kind::Reboot, {}});
            c.closing = true;
        }
        if (last) {
            enqueue(c, {now, Chunk::Kind::Close, {}});
            c.closing = true;
        }
    }

    void refuseLongLine(Connection& c, Clock::time_point now) {
        std::lock_guard lock(m_mutex);
        enqueueReply(c, "-ERR Line too long\r\n", now + m_faults.replyDelay, m_faults);
    }

    void consumeInput(Connection& c, std::string_view data, Clock::time_point now) {
        while (!data.empty() && !c.closing) {
            const std::size_t newline = data.find('\n');
            const std::string_view piece = data.substr(0, newline);
            data = newline == std::string_view::npos ? std::string_view{} : data.substr(newline + 1);
            const bool complete = newline != std::string_view::npos;
            if (c.discardingLongLine) {
                c.discardingLongLine = !complete;
                if (complete)
                    c.lastCommand = now;
                continue;
            }
            c.input.append(piece);
            // Without its CR LF the line may hold kMaxLineBytes; the CR itself may still be pending.
            std::size_t length = c.input.size();
            if (complete && length > 0 && c.input.back() == '\r')
                --length;
            if (length > kMaxLineBytes + (complete ? 0 : 1)) {
                c.input.clear();
                c.discardingLongLine = !complete;
                refuseLongLine(c, now);
                continue;
            }
            if (complete) {
                c.lastCommand = now;
                std::string line;
                line.swap(c.input);
                handleLine(c, std::move(line), now);
            }
        }
    }

    void readFrom(Connection& c, Clock::time_point now) {
        char buffer[4096];
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (!c.closing)
                consumeInput(c, std::string_view(buffer, static_cast<std::size_t>(n)), now);
        } else if (n == 0) {
            c.peerClosed = true;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            c.dead = true;
        }
    }

    static void writeTo(Connection& c) {
        while (c.outOffset < c.out.size()) {
            const ssize_t n =
                ::send(c.fd, c.out.data() + c.outOffset, c.out.size() - c.outOffset, kSendFlags);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                    c.dead = true;
                return;
            }
            c.outOffset += static_cast<std::size_t>(n);
        }
        c.out.clear();
        c.outOffset = 0;
    }

    // One block a turn of the loop, so that a peer reading a flood as fast as it can does not keep the
    // other connections waiting.
    static void streamFlood(Connection& c) {
        static const std::string block(kFloodBlock, 'x');
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), c.floodLeft));
        c.out.assign(block, 0, size);
        c.outOffset = 0;
        c.floodLeft -= size;
        writeTo(c);
    }

    // Moves every chunk that is due onto the wire, one send per chunk so that cut replies arrive apart.
    void pump(Connection& c, Clock::time_point now) {
        while (!c.dead) {
            if (!c.out.empty()) {
                writeTo(c);
                if (!c.out.empty())
                    return;
            }
            if (c.floodLeft > 0) {
                if (!c.peerClosed) {
                    streamFlood(c);
                    return;
                }
                c.floodLeft = 0;
            }
            if (c.queue.empty() || c.queue.front().due > now)
                break;
            Chunk chunk = std::move(c.queue.front());
            c.queue.pop_front();
            c.queuedBytes -= chunk.bytes.size();
            if (chunk.kind == Chunk::Kind::Close) {
                c.dead = true;
            } else if (chunk.kind == Chunk::Kind::Flood) {
                c.floodLeft = kFloodBytes;
            } else if (chunk.kind == Chunk::Kind::Reboot) {
                m_rebootRequested = true;
                return;
            } else {
                c.out = std::move(chunk.bytes);
                c.outOffset = 0;
            }
        }
        if (c.peerClosed && c.queue.empty() && c.out.empty())
            c.dead = true;
    }

    static void closeConnection(Connection& c) {
        // Unread input would turn the close into a reset, which can destroy the reply still in flight.
        char drain[4096];
        while (::recv(c.fd, drain, sizeof drain, MSG_DONTWAIT) > 0) {
        }
        ::shutdown(c.fd, SHUT_WR);
        closeFd(c.fd);
    }

    void closeIdleConnections(Clock::time_point now) {
        if (m_options.idleTimeout <= milliseconds(0))
            return;
        for (auto& c : m_connections) {
            if (!c->dead && now - c->lastCommand >= m_options.idleTimeout) {
                c->dead = true;
                std::lock_guard lock(m_mutex);
                addEventLocked("Idle control connection from " + c->peer + " closed");
            }
        }
    }

    void sweepConnections() {
        for (auto& c : m_connections) {
            if (c->dead)
                closeConnection(*c);
        }
        std::erase_if(m_connections, [](const auto& c) { return c->fd < 0; });
    }

    void acceptConnections(Clock::time_point now) {
        for (;;) {
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            const int fd = ::accept(m_listenFd, reinterpret_cast<sockaddr*>(&peer), &length);
            if (fd < 0)
                return; // EAGAIN, or a connection reset before we got to it
            if (!setNonBlocking(fd)) {
                ::close(fd);
                continue;
            }
            const auto fromPeer =
                std::count_if(m_connections.begin(), m_connections.end(), [&](const auto& c) {
                    return c->peerAddress == peer.sin_addr.s_addr && !c->leaving();
                });
            if (m_connections.size() >= kMaxControlConnections ||
                static_cast<std::size_t>(fromPeer) >= m_options.maxConnectionsPerAddress) {
                static constexpr std::string_view busy = "-ERR Too many connections\r\n";
                [[maybe_unused]] const auto ignored = ::send(fd, busy.data(), busy.size(), kSendFlags);
                ::close(fd);
                continue;
            }
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // cut replies must not be merged
            auto c = std::make_unique<Connection>();
            c->fd = fd;
            c->peerAddress = peer.sin_addr.s_addr;
            c->peer = peerText(peer);
            c->lastCommand = now;
            c->lastDue = now;
            {
                std::lock_guard lock(m_mutex);
                ++m_accepted;
                addEventLocked("Control connection from " + c->peer);
            }
            enqueue(*c, {now, Chunk::Kind::Data, m_options.greeting + "\r\n"});
            m_connections.push_back(std::move(c));
        }
    }

    // ---- discovery ----------------------------------------------------------------------------------

    void answerDiscovery() {
        for (int budget = 32; budget > 0; --budget) {
            char buffer[1500];
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            const ssize_t n =
                ::recvfrom(m_udpFd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &length);
            if (n < 0)
                return;
            if (m_upAgainAt)
                continue; // a rebooting device does not answer
            const std::string_view datagram(buffer, static_cast<std::size_t>(n));
            if (datagram.find(kDiscoveryRequest) == std::string_view::npos)
                continue;

            std::string address = m_options.advertisedAddress;
            if (address.empty()) {
                address = m_options.bindAddress;
                if (parseIpv4(address).value_or(in_addr{}).s_addr == htonl(INADDR_ANY)) {
                    address = localAddressTowards(peer);
                }
            }
            std::uint16_t port = m_options.advertisedControlPort;
            if (port == 0) {
                std::lock_guard lock(m_mutex);
                port = m_boundControlPort;
            }
            const std::string reply = buildDiscoveryReply(m_options, address, port);
            if (::sendto(m_udpFd, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                         sizeof peer) == static_cast<ssize_t>(reply.size())) {
                std::lock_guard lock(m_mutex);
                ++m_answered;
            }
        }
    }

    // ---- reboot -------------------------------------------------------------------------------------

    void goDown(Clock::time_point now) {
        m_rebootRequested = false;
        // The listener goes first, so that a peer seeing its connection drop finds the port refusing.
        closeFd(m_listenFd);
        for (auto& c : m_connections)
            c->dead = true;
        sweepConnections();
        m_upAgainAt = now + m_options.rebootDowntime;
    }

    void comeBackUp(Clock::time_point now) {
        std::uint16_t port = 0;
        std::uint16_t wanted = 0;
        {
            std::lock_guard lock(m_mutex);
            wanted = m_boundControlPort;
        }
        m_listenFd = bindSocket(SOCK_STREAM, wanted, port);
        if (m_listenFd < 0) {
            m_upAgainAt = now + kRebindRetry; // somebody holds the port; a real device would keep trying too
            return;
        }
        m_upAgainAt.reset();
        recordBoot();
    }

    // ---- the loop -----------------------------------------------------------------------------------

    int pollTimeout(Clock::time_point now) const {
        std::optional<Clock::time_point> next = m_upAgainAt;
        const auto earliest = [&next](Clock::time_point due) {
            if (!next || due < *next)
                next = due;
        };
        for (const auto& c : m_connections) {
            if (c->out.empty() && c->floodLeft > 0)
                return 0;
            if (c->out.empty() && !c->queue.empty())
                earliest(c->queue.front().due);
            if (m_options.idleTimeout > milliseconds(0))
                earliest(c->lastCommand + m_options.idleTimeout);
        }
        if (!next)
            return -1;
        if (*next <= now)
            return 0;
        const auto wait = std::chrono::ceil<milliseconds>(*next - now).count();
        return static_cast<int>(std::min<long long>(wait, 60000));
    }

    // False when the loop had to give up (its reason is in m_lastError).
    bool loop() {
        bool healthy = true;
        std::vector<pollfd> fds;
        std::vector<Connection*> polled;
        while (!m_stopRequested.load()) {
            Clock::time_point now = Clock::now();
            if (m_upAgainAt && *m_upAgainAt <= now)
                comeBackUp(now);
            for (auto& c : m_connections)
                pump(*c, now);
            if (m_rebootRequested)
                goDown(now);
            closeIdleConnections(now);
            sweepConnections();

            fds.clear();
            polled.clear();
            fds.push_back({m_wakeRead, POLLIN, 0});
            fds.push_back({m_udpFd, POLLIN, 0});
            fds.push_back({m_listenFd, static_cast<short>(m_listenFd >= 0 ? POLLIN : 0), 0});
            for (auto& c : m_connections) {
                short wanted = 0;
                if (!c->peerClosed && c->pendingOutput() < kMaxPendingOutput)
                    wanted |= POLLIN;
                if (!c->out.empty())
                    wanted |= POLLOUT;
                fds.push_back({c->fd, wanted, 0});
                polled.push_back(c.get());
            }

            if (::poll(fds.data(), fds.size(), pollTimeout(now)) < 0) {
                if (errno == EINTR)
                    continue;
                setError(errnoText("poll"));
                healthy = false;
                break;
            }
            if (fds[0].revents != 0) {
                char drain[64];
                while (::read(m_wakeRead, drain, sizeof drain) > 0) {
                }
            }
            if (m_stopRequested.load())
                break;
            now = Clock::now();
            if (fds[1].revents != 0)
                answerDiscovery();
            for (std::size_t i = 0; i < polled.size(); ++i) {
                Connection& c = *polled[i];
                const short revents = fds[i + 3].revents;
                if (revents & POLLIN)
                    readFrom(c, now);
                if (revents & POLLOUT)
                    writeTo(c);
                if (revents & (POLLERR | POLLHUP | POLLNVAL))
                    c.dead = true;
            }
            if (m_listenFd >= 0 && fds[2].revents != 0)
                acceptConnections(now);
        }

        for (auto& c : m_connections)
            c->dead = true;
        sweepConnections();
        closeFd(m_listenFd);
        closeFd(m_udpFd);
        m_serving = false;
        return healthy;
    }

    void join() {
        if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
            m_thread.join();
    }
};

SimulatedDevice::SimulatedDevice(DeviceOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

SimulatedDevice::~SimulatedDevice() {
    stop();
}

bool SimulatedDevice::start() {
    if (m_impl->m_serving.load()) {
        m_impl->setError("already running");
        return false;
    }
    m_impl->join(); // a loop that ended by itself still owns its thread object
    if (!m_impl->openSockets())
        return false;
    try {
        m_impl->m_thread = std::thread([impl = m_impl.get()] { impl->loop(); });
    } catch (const std::system_error& error) {
        m_impl->setError(std::string("thread: ") + error.what());
        m_impl->m_stopRequested = true;
        m_impl->loop(); // closes what openSockets opened and returns at once
        return false;
    }
    return true;
}

bool SimulatedDevice::run() {
    if (!m_impl->openSockets())
        return false;
    return m_impl->loop();
}

// Only an atomic store and a write(), so that a signal handler may call it too; the join is skipped
// when there is no thread (run()) or when stop() is called from the loop thread.
void SimulatedDevice::stop() {
    m_impl->m_stopRequested = true;
    m_impl->wake();
    m_impl->join();
}

std::string SimulatedDevice::lastError() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_lastError;
}

std::uint16_t SimulatedDevice::controlPort() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_boundControlPort;
}

std::uint16_t SimulatedDevice::discoveryPort() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_boundDiscoveryPort;
}

void SimulatedDevice::setFaults(const FaultOptions& faults) {
    {
        std::lock_guard lock(m_impl->m_mutex);
        m_impl->m_faults = faults;
    }
    m_impl->wake();
}

FaultOptions SimulatedDevice::faults() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_faults;
}

int SimulatedDevice::mode() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_currentMode;
}

void SimulatedDevice::setMode(int mode) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_currentMode = mode;
}

void SimulatedDevice::addLink(LinkInfo link) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_bluetooth.addLink(std::move(link));
}

void SimulatedDevice::addNeighbour(NeighbourInfo neighbour) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_bluetooth.addNeighbour(std::move(neighbour));
}

void SimulatedDevice::setLinkChurn(bool churn) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_bluetooth.setChurn(churn);
}

std::vector<LinkInfo> SimulatedDevice::links() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_bluetooth.links();
}

std::string SimulatedDevice::bluetoothName() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_bluetooth.name();
}

void SimulatedDevice::setBluetoothConnectionActive(bool active) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_bluetoothActive = active;
}

void SimulatedDevice::setLog(std::string text) {
    std::lock_guard lock(m_impl->m_mutex);
    m_impl->m_logText = std::move(text);
}

std::vector<std::string> SimulatedDevice::receivedCommands() const {
    std::lock_guard lock(m_impl->m_mutex);
    return {m_impl->m_received.begin(), m_impl->m_received.end()};
}

std::size_t SimulatedDevice::connectionsAccepted() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_accepted;
}

std::size_t SimulatedDevice::discoveryRequestsAnswered() const {
    std::lock_guard lock(m_impl->m_mutex);
    return m_impl->m_answered;
}

} // namespace kvx::sim
