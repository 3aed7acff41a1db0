#include "socket_server.h"

#include "core/vocabulary.h"
#include "sim/device_model.h"
#include "sim/discovery_reply.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace kvx::sim {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A command line may hold this many bytes before its CR LF; anything longer is refused and skipped.
constexpr std::size_t kMaxLineBytes = 4096;
// Lines are not taken from a peer's input while this much output waits for it, and its socket is not
// read while input is left over: a peer that writes commands without reading replies fills its own
// socket buffers instead of the device's memory. Each queued chunk costs its bytes and its bookkeeping.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;
constexpr std::size_t kReadBlock = 4096;
// A flood stops by itself after this much, so that a simulator left running with one does not stream
// for ever to a peer that keeps reading.
constexpr std::uint64_t kFloodBytes = std::uint64_t{1} << 30;
constexpr std::size_t kFloodBlock = 64 * 1024;
// What the record of received commands holds at most, in lines and in bytes: long lines from many
// clients must not grow it past a few megabytes.
constexpr std::size_t kMaxRecordedCommands = 10000;
constexpr std::size_t kMaxRecordedBytes = std::size_t{4} << 20;
constexpr milliseconds kRebindRetry{250};

bool setNonBlocking(net::Socket socket) {
    return net::setNonBlocking(socket, true) && net::setCloseOnExec(socket);
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

std::string errorText(const char* what) {
    return std::string(what) + ": " + net::errorText(net::lastError());
}

// The address this host would use to answer the peer. Connecting a UDP socket only picks a route; no
// datagram leaves.
std::string localAddressTowards(const net::Endpoint& peer) {
    std::string result;
    net::Socket socket = net::open(net::Type::Datagram);
    if (socket == net::kNoSocket)
        return result;
    if (net::connectDatagram(socket, peer))
        if (const std::optional<net::Endpoint> local = net::localEndpoint(socket))
            result = net::ipv4Text(local->address);
    net::close(socket);
    return result;
}

struct Chunk {
    enum class Kind { Data, Flood, Close, Reboot };
    Clock::time_point due;
    Kind kind = Kind::Data;
    std::string bytes;
    bool continues = false; // a later packet of the reply ahead of it: nothing may go out between them

    std::size_t cost() const { return sizeof(Chunk) + bytes.size(); }
};

// How the fault knobs in force treat one command.
struct Treatment {
    enum class Answer { Dispatched, Silent, Flooded, Refused };
    Answer answer = Answer::Dispatched;
    milliseconds extra{0}; // on top of the reply delay
    bool trickled = false;
    bool cutOff = false;
    bool stray = false;
};

Treatment treatmentOf(const FaultOptions& f, const CommandLine& command) {
    const auto named = [&](const std::set<std::string>& faults) {
        return (!f.wholeLines && faults.count(std::string(command.word)) != 0) ||
               faults.count(std::string(command.text)) != 0;
    };
    Treatment t;
    if (named(f.silentCommands)) {
        t.answer = Treatment::Answer::Silent;
    } else if (named(f.floodCommands)) {
        t.answer = Treatment::Answer::Flooded;
    } else if (named(f.refusedCommands)) {
        t.answer = Treatment::Answer::Refused;
    } else {
        for (const std::string& key :
             {std::string(command.text), f.wholeLines ? std::string() : std::string(command.word)})
            if (const auto late = f.lateCommands.find(key);
                late != f.lateCommands.end() && t.extra == milliseconds(0))
                t.extra = late->second;
    }
    t.trickled = named(f.trickledCommands);
    t.cutOff = named(f.cutOffCommands);
    t.stray = named(f.strayAfterCommands);
    return t;
}

} // namespace

struct ControlConnection {
    net::Socket fd = net::kNoSocket;
    std::uint32_t peerAddress = 0;
    Session session;
    Clock::time_point lastCommand; // when the last complete line arrived (or the connection was made)
    std::optional<Clock::time_point> loginDeadline; // until the peer has logged in
    std::string unread; // received, not yet split into lines: at most one read's worth
    std::string input;  // the line being received
    bool discardingLongLine = false;
    int commandCount = 0;
    bool closing = false;    // a close or reboot is queued: later input is read and dropped
    bool peerClosed = false; // the peer sent its FIN: close once everything queued went out
    bool dead = false;
    std::deque<Chunk> queue;
    std::size_t queuedBytes = 0; // the cost of the chunks in queue and strays
    Clock::time_point lastDue{};
    std::deque<Chunk> strays; // unsolicited lines, by when they fall due; outside the order of replies
    std::string out;          // bytes of the chunk being written
    std::size_t outOffset = 0;
    std::uint64_t floodLeft = 0; // flood bytes still to stream once `out` went out

    std::size_t pendingOutput() const { return queuedBytes + out.size() - outOffset; }
    // Closed by the peer, with every line it sent answered and sent.
    bool finished() const {
        return peerClosed && queue.empty() && out.empty() && (unread.empty() || closing);
    }
    // Gone, or finished: it no longer holds a slot.
    bool leaving() const { return dead || finished(); }

    void enqueue(Chunk chunk) {
        // The queue is sent strictly in order; a chunk never falls due before the one ahead of it, so the
        // gaps of a cut reply survive behind a late one.
        chunk.due = std::max(chunk.due, lastDue);
        lastDue = chunk.due;
        queuedBytes += chunk.cost();
        queue.push_back(std::move(chunk));
    }

    void enqueueStray(Chunk chunk) {
        queuedBytes += chunk.cost();
        const auto later = [](const Chunk& a, const Chunk& b) {
            return a.due < b.due;
        };
        strays.insert(std::upper_bound(strays.begin(), strays.end(), chunk, later), std::move(chunk));
    }

    // A stray line goes out once due, after every reply that fell due before it, never inside a reply.
    bool strayMayGo() const {
        return !strays.empty() &&
               (queue.empty() || (queue.front().due > strays.front().due && !queue.front().continues));
    }

    void enqueueReply(const std::string& text, Clock::time_point due, std::size_t packetSize,
                      milliseconds packetGap) {
        if (packetSize == 0 || text.size() <= packetSize) {
            enqueue({due, Chunk::Kind::Data, text});
            return;
        }
        for (std::size_t offset = 0; offset < text.size(); offset += packetSize) {
            enqueue({due, Chunk::Kind::Data, text.substr(offset, packetSize), offset > 0});
            due += packetGap;
        }
    }

    // Nothing goes out after the chunks queued so far, and later input is dropped.
    void enqueueLast(Chunk::Kind kind, Clock::time_point due) {
        enqueue({due, kind, {}});
        closing = true;
    }

    void write() {
        while (outOffset < out.size()) {
            const std::ptrdiff_t n = net::send(fd, out.data() + outOffset, out.size() - outOffset);
            if (n < 0) {
                if (!wouldBlock(net::lastError()))
                    dead = true;
                return;
            }
            outOffset += static_cast<std::size_t>(n);
        }
        out.clear();
        outOffset = 0;
    }

    // One block a turn of the loop, so that a peer reading a flood as fast as it can does not keep the
    // other connections waiting.
    void streamFlood() {
        static const std::string block(kFloodBlock, 'x');
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), floodLeft));
        out.assign(block, 0, size);
        outOffset = 0;
        floodLeft -= size;
        write();
    }

    void close() {
        // Unread input would turn the close into a reset, which can destroy the reply still in flight.
        // The socket does not block, so this takes only what has arrived.
        char drain[4096];
        while (net::receive(fd, drain, sizeof drain) > 0) {
        }
        net::shutdownSend(fd);
        net::close(fd);
    }
};

SocketServer::SocketServer(const DeviceOptions& options, DeviceModel& model)
    : m_options(options)
    , m_model(model) {}

SocketServer::~SocketServer() {
    stop();
    net::closeWakeChannel(m_wake);
}

// ---- set-up ------------------------------------------------------------------------------------------

bool SocketServer::start() {
    if (m_serving.load()) {
        setError("already running");
        return false;
    }
    join(); // a loop that ended by itself still owns its thread object
    if (!openSockets())
        return false;
    try {
        m_thread = std::thread([this] { loop(); });
    } catch (const std::system_error& error) {
        setError(std::string("thread: ") + error.what());
        m_stopRequested = true;
        loop(); // closes what openSockets opened and returns at once
        return false;
    }
    return true;
}

bool SocketServer::run() {
    return openSockets() && loop();
}

// The join is skipped when there is no thread (run()) or when stop() is called from the loop thread.
void SocketServer::stop() {
    m_stopRequested = true;
    wake();
    join();
}

void SocketServer::join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void SocketServer::setError(std::string text) {
    std::lock_guard lock(m_mutex);
    m_lastError = std::move(text);
}

bool SocketServer::openWakeChannel() {
    if (m_wake.readEnd != net::kNoSocket)
        return true;
    if (!net::openWakeChannel(m_wake)) {
        setError(errorText("wake-up channel"));
        return false;
    }
    return true;
}

void SocketServer::wake() const {
    net::wake(m_wake); // a full channel wakes anyway
}

net::Socket SocketServer::bindSocket(net::Type type, std::uint16_t port, std::uint16_t& boundPort) {
    const auto address = net::parseIpv4(m_options.bindAddress);
    if (!address) {
        setError("bad bind address: " + m_options.bindAddress);
        return net::kNoSocket;
    }
    net::Socket socket = net::open(type);
    if (socket == net::kNoSocket) {
        setError(errorText("socket"));
        return net::kNoSocket;
    }
    const bool stream = type == net::Type::Stream;
    if (stream)
        net::setListenerAddressReuse(socket); // rebinding after a reboot
    std::optional<net::Endpoint> local;
    const char* step = nullptr;
    if (!net::bind(socket, {*address, port}))
        step = "bind";
    else if (stream && !net::listen(socket, 16))
        step = "listen";
    else if (!(local = net::localEndpoint(socket)))
        step = "getsockname";
    else if (!setNonBlocking(socket))
        step = "fcntl";
    if (step) {
        setError(errorText(step) + " (" + m_options.bindAddress + ":" + std::to_string(port) + ")");
        net::close(socket);
        return net::kNoSocket;
    }
    boundPort = local->port;
    return socket;
}

bool SocketServer::openSockets() {
    if (m_serving.load()) {
        setError("already running");
        return false;
    }
    if (!openWakeChannel())
        return false;
    net::drainWake(m_wake);
    std::uint16_t discoveryPort = 0;
    std::uint16_t controlPort = 0;
    m_udpFd = bindSocket(net::Type::Datagram, m_options.discoveryPort, discoveryPort);
    if (m_udpFd == net::kNoSocket)
        return false;
    m_listenFd = bindSocket(net::Type::Stream, m_options.controlPort, controlPort);
    if (m_listenFd == net::kNoSocket) {
        net::close(m_udpFd);
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
    boot();
    return true;
}

void SocketServer::boot() {
    std::lock_guard lock(m_mutex);
    m_model.boot(m_boundControlPort, m_boundDiscoveryPort);
}

// ---- control connections -----------------------------------------------------------------------------

void SocketServer::acceptConnections(Clock::time_point now) {
    for (;;) {
        net::Endpoint peer;
        net::Socket fd = net::accept(m_listenFd, peer);
        if (fd == net::kNoSocket)
            return; // EAGAIN, or a connection reset before we got to it
        if (!setNonBlocking(fd)) {
            net::close(fd);
            continue;
        }
        const auto fromPeer = std::count_if(m_connections.begin(), m_connections.end(), [&](const auto& c) {
            return c->peerAddress == peer.address && !c->leaving();
        });
        if (m_connections.size() >= kMaxControlConnections ||
            static_cast<std::size_t>(fromPeer) >= m_options.maxConnectionsPerAddress) {
            static constexpr std::string_view busy = "-ERR Too many connections\r\n";
            net::send(fd, busy.data(), busy.size());
            net::close(fd);
            continue;
        }
        net::setNoDelay(fd); // cut replies must not be merged
        auto c = std::make_unique<ControlConnection>();
        c->fd = fd;
        c->peerAddress = peer.address;
        c->session.peer = net::ipv4Text(peer.address) + ":" + std::to_string(peer.port);
        c->lastCommand = now;
        if (m_options.loginTimeout > milliseconds(0))
            c->loginDeadline = now + m_options.loginTimeout;
        c->lastDue = now;
        {
            std::lock_guard lock(m_mutex);
            ++m_accepted;
        }
        m_model.addEvent("Control connection from " + c->session.peer);
        c->enqueue({now, Chunk::Kind::Data, m_options.greeting + "\r\n"});
        m_connections.push_back(std::move(c));
    }
}

void SocketServer::readFrom(ControlConnection& c, Clock::time_point now) {
    char buffer[kReadBlock];
    const std::ptrdiff_t n = net::receive(c.fd, buffer, sizeof buffer);
    if (n > 0) {
        if (!c.closing) {
            c.unread.append(buffer, static_cast<std::size_t>(n));
            consumeInput(c, now);
        }
    } else if (n == 0) {
        c.peerClosed = true;
    } else if (!wouldBlock(net::lastError())) {
        c.dead = true;
    }
}

// Takes lines while the output waiting for the peer is below its bound; the rest waits in `unread`.
void SocketServer::consumeInput(ControlConnection& c, Clock::time_point now) {
    std::string_view data = c.unread;
    while (!data.empty() && !c.closing && c.pendingOutput() < kMaxPendingOutput) {
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
    if (c.closing)
        c.unread.clear();
    else
        c.unread.erase(0, c.unread.size() - data.size());
    // Only lines add output, so its peak is here.
    std::lock_guard lock(m_mutex);
    m_peakPendingOutput = std::max(m_peakPendingOutput, c.pendingOutput());
}

void SocketServer::refuseLongLine(ControlConnection& c, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    c.enqueueReply("-ERR Line too long\r\n", now + m_faults.replyDelay, m_faults.packetSize,
                   m_faults.packetGap);
}

void SocketServer::handleLine(ControlConnection& c, std::string line, Clock::time_point now) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::lock_guard lock(m_mutex);
    const FaultOptions& f = m_faults;
    m_receivedBytes += line.size();
    m_received.push_back(line);
    while (m_received.size() > kMaxRecordedCommands || m_receivedBytes > kMaxRecordedBytes) {
        m_receivedBytes -= m_received.front().size();
        m_received.pop_front();
    }
    ++c.commandCount;
    const bool last = f.closeAfterCommands > 0 && c.commandCount >= f.closeAfterCommands;
    if (last && f.closeInsteadOfReply) {
        c.enqueueLast(Chunk::Kind::Close, now);
        return;
    }

    const CommandLine command = readCommandLine(line);
    const Treatment t = command.error.empty() ? treatmentOf(f, command) : Treatment{};
    const bool wasLoggedIn = c.session.loggedIn;
    const Clock::time_point due = now + f.replyDelay;
    if (t.answer == Treatment::Answer::Flooded) {
        c.enqueue({due, Chunk::Kind::Data, "+OK "});
        c.enqueue({due, Chunk::Kind::Flood, {}});
        c.enqueueLast(Chunk::Kind::Close, due);
        return;
    }
    Reply reply;
    if (t.answer == Treatment::Answer::Refused)
        reply.text = "-ERR\r\n";
    else if (t.answer == Treatment::Answer::Dispatched)
        reply = m_model.answer(c.session, command);
    if (c.session.loggedIn && !wasLoggedIn)
        c.loginDeadline.reset();
    if (t.cutOff) {
        c.enqueue({due, Chunk::Kind::Data, reply.text.substr(0, reply.text.size() / 2)});
        c.enqueueLast(Chunk::Kind::Close, due);
        return;
    }
    if (t.trickled)
        c.enqueueReply(reply.text, due + t.extra, 1, f.packetGap);
    else if (t.answer != Treatment::Answer::Silent)
        c.enqueueReply(reply.text, due + t.extra, f.packetSize, f.packetGap);
    if (t.stray)
        c.enqueueStray({std::max(c.lastDue, due + t.extra) + f.strayDelay, Chunk::Kind::Data, f.strayLine});
    if (reply.reboot)
        c.enqueueLast(Chunk::Kind::Reboot, now);
    if (last)
        c.enqueueLast(Chunk::Kind::Close, now);
}

// Moves every chunk that is due onto the wire, one send per chunk so that cut replies arrive apart.
void SocketServer::pump(ControlConnection& c, Clock::time_point now) {
    while (!c.dead) {
        if (!c.out.empty()) {
            c.write();
            if (!c.out.empty())
                return;
        }
        if (c.floodLeft > 0) {
            if (!c.peerClosed) {
                c.streamFlood();
                return;
            }
            c.floodLeft = 0;
        }
        if (c.strayMayGo() && c.strays.front().due <= now) {
            c.queuedBytes -= c.strays.front().cost();
            c.out = std::move(c.strays.front().bytes);
            c.outOffset = 0;
            c.strays.pop_front();
            continue;
        }
        if (c.queue.empty() || c.queue.front().due > now)
            break;
        Chunk chunk = std::move(c.queue.front());
        c.queue.pop_front();
        c.queuedBytes -= chunk.cost();
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
    if (c.finished())
        c.dead = true;
}

void SocketServer::closeStaleConnections(Clock::time_point now) {
    const bool idleCloses = m_options.idleTimeout > milliseconds(0);
    for (auto& c : m_connections) {
        if (c->dead)
            continue;
        if (c->loginDeadline && now >= *c->loginDeadline) {
            c->dead = true;
            m_model.addEvent("Control connection from " + c->session.peer + " closed: no login in time");
        } else if (idleCloses && now - c->lastCommand >= m_options.idleTimeout) {
            c->dead = true;
            m_model.addEvent("Idle control connection from " + c->session.peer + " closed");
        }
    }
}

void SocketServer::sweepConnections() {
    for (auto& c : m_connections) {
        if (c->dead)
            c->close();
    }
    std::erase_if(m_connections, [](const auto& c) { return c->fd == net::kNoSocket; });
}

// ---- discovery ---------------------------------------------------------------------------------------

void SocketServer::answerDiscovery() {
    for (int budget = 32; budget > 0; --budget) {
        char buffer[1500];
        net::Endpoint peer;
        const std::ptrdiff_t n = net::receiveFrom(m_udpFd, buffer, sizeof buffer, peer);
        if (n < 0)
            return;
        if (m_upAgainAt)
            continue; // a rebooting device does not answer
        const std::string_view datagram(buffer, static_cast<std::size_t>(n));
        if (datagram.find(kvx::kDiscoveryRequest) == std::string_view::npos)
            continue;

        std::string address = m_options.advertisedAddress;
        if (address.empty()) {
            address = m_options.bindAddress;
            if (net::parseIpv4(address).value_or(net::kAnyAddress) == net::kAnyAddress)
                address = localAddressTowards(peer);
        }
        std::uint16_t port = m_options.advertisedControlPort;
        if (port == 0)
            port = controlPort();
        const std::string reply = buildDiscoveryReply(m_options, address, port);
        if (net::sendTo(m_udpFd, reply.data(), reply.size(), peer) ==
            static_cast<std::ptrdiff_t>(reply.size())) {
            std::lock_guard lock(m_mutex);
            ++m_answered;
        }
    }
}

// ---- reboot ------------------------------------------------------------------------------------------

void SocketServer::goDown(Clock::time_point now) {
    m_rebootRequested = false;
    // The listener goes first, so that a peer seeing its connection drop finds the port refusing.
    net::close(m_listenFd);
    for (auto& c : m_connections)
        c->dead = true;
    sweepConnections();
    m_upAgainAt = now + m_options.rebootDowntime;
}

void SocketServer::comeBackUp(Clock::time_point now) {
    std::uint16_t port = 0;
    m_listenFd = bindSocket(net::Type::Stream, controlPort(), port);
    if (m_listenFd == net::kNoSocket) {
        m_upAgainAt = now + kRebindRetry; // somebody holds the port; a real device would keep trying too
        return;
    }
    m_upAgainAt.reset();
    boot();
}

// ---- the loop ----------------------------------------------------------------------------------------

int SocketServer::pollTimeout(Clock::time_point now) const {
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
        if (c->out.empty() && c->strayMayGo())
            earliest(c->strays.front().due);
        if (m_options.idleTimeout > milliseconds(0))
            earliest(c->lastCommand + m_options.idleTimeout);
        if (c->loginDeadline)
            earliest(*c->loginDeadline);
    }
    if (!next)
        return -1;
    if (*next <= now)
        return 0;
    const auto wait = std::chrono::ceil<milliseconds>(*next - now).count();
    return static_cast<int>(std::min<long long>(wait, 60000));
}

// False when the loop had to give up (its reason is in m_lastError).
bool SocketServer::loop() {
    bool healthy = true;
    std::vector<net::PollEntry> fds;
    std::vector<ControlConnection*> polled;
    while (!m_stopRequested.load()) {
        Clock::time_point now = Clock::now();
        if (m_upAgainAt && *m_upAgainAt <= now)
            comeBackUp(now);
        for (auto& c : m_connections) {
            pump(*c, now);
            if (!c->unread.empty() && !c->dead && c->pendingOutput() < kMaxPendingOutput)
                consumeInput(*c, now); // what waited for its replies to go out
        }
        if (m_rebootRequested)
            goDown(now);
        closeStaleConnections(now);
        sweepConnections();

        fds.clear();
        polled.clear();
        fds.push_back({m_wake.readEnd, net::kReadable, 0});
        fds.push_back({m_udpFd, net::kReadable, 0});
        fds.push_back({m_listenFd, net::kReadable, 0}); // skipped while the device reboots
        for (auto& c : m_connections) {
            unsigned wanted = 0;
            if (!c->peerClosed && c->unread.empty() && c->pendingOutput() < kMaxPendingOutput)
                wanted |= net::kReadable;
            if (!c->out.empty())
                wanted |= net::kWritable;
            fds.push_back({c->fd, wanted, 0});
            polled.push_back(c.get());
        }

        if (net::poll(fds, pollTimeout(now)) < 0) {
            setError(errorText("poll"));
            healthy = false;
            break;
        }
        if (fds[0].revents != 0)
            net::drainWake(m_wake);
        if (m_stopRequested.load())
            break;
        now = Clock::now();
        if (fds[1].revents != 0)
            answerDiscovery();
        for (std::size_t i = 0; i < polled.size(); ++i) {
            ControlConnection& c = *polled[i];
            const unsigned revents = fds[i + 3].revents;
            if (revents & net::kReadable)
                readFrom(c, now);
            if (revents & net::kWritable)
                c.write();
            if (revents & (net::kError | net::kHangUp | net::kInvalid))
                c.dead = true;
        }
        if (m_listenFd != net::kNoSocket && fds[2].revents != 0)
            acceptConnections(now);
    }

    for (auto& c : m_connections)
        c->dead = true;
    sweepConnections();
    net::close(m_listenFd);
    net::close(m_udpFd);
    m_serving = false;
    return healthy;
}

// ---- state for the owner -----------------------------------------------------------------------------

void SocketServer::setFaults(const FaultOptions& faults) {
    {
        std::lock_guard lock(m_mutex);
        m_faults = faults;
    }
    wake();
}

std::vector<std::string> SocketServer::receivedCommands() const {
    std::lock_guard lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

} // namespace kvx::sim
