#pragma once

#include "core/transcript.h"
#include "platform/net.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kvx {

// The TCP control connection and its one exchange operation. Everything blocks the calling thread for
// a bounded time; nothing here knows of widgets.
class DeviceLink {
public:
    static constexpr std::size_t kReceiveLimit = 50000;
    static constexpr int kMaxPasses = 10;
    // The longest reply taken, far above the longest real list; a device that streams past it without
    // ending its line fails the transaction instead of filling the memory.
    static constexpr std::size_t kReplyLimit = std::size_t(1) << 20;

    struct Timing {
        // A wait of 0 asks for "no time limit"; a device that stays silent without closing would then
        // freeze the program for ever, so the wait is bounded by this instead.
        std::chrono::milliseconds unlimitedWaitBound{30000};
        std::chrono::milliseconds connectBound{10000};
        // One second of a command's wait; tests that let commands time out shorten it.
        std::chrono::milliseconds waitUnit{1000};
        // What one command may take beyond its wait in all: the rest of a line that is coming in when
        // the wait ends. A device that trickles a byte now and then cannot stretch one command past it.
        std::chrono::milliseconds replyGrace{2000};
    };

    // Called again and again while a transaction waits for the device, at most kWaitHookInterval apart,
    // with the command and the time since it was sent. A window keeps itself painted from it; without
    // one the wait simply blocks.
    using WaitHook = std::function<void(std::string_view command, std::chrono::milliseconds waited)>;
    static constexpr std::chrono::milliseconds kWaitHookInterval{25};

    DeviceLink() = default;
    explicit DeviceLink(Timing timing)
        : m_timing(timing) {}
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    bool create();
    bool hasSocket() const { return m_fd != net::kNoSocket; }
    bool isConnected() const { return m_connected; }
    // Connects to a dotted IPv4 text; fails (never blocks past the bound) on any error.
    bool connectTo(const std::string& ipText, unsigned port);
    bool connectTo(const std::string& ipText, unsigned port, std::chrono::milliseconds bound);
    // The errno-style code of the last failed create or connect (ETIMEDOUT when the bound ran out), for
    // the operator; net::errorText() words it.
    int lastError() const { return m_lastError; }
    // Closing from this side never produces a disconnect notice.
    void close();

    // Sends the command byte for byte and collects the reply as the protocol describes: a drain of late
    // text into the transcript, then passes of at most waitSeconds each until "+OK" or "-ERR" shows up.
    // `echo` replaces the command text in the transcript (the wire still carries the command). A command
    // holding a CR or LF before its closing CR LF is not sent: the reply is empty.
    std::string transact(std::string_view command, int waitSeconds, Transcript& transcript,
                         std::optional<std::string_view> echo = std::nullopt);
    // Every wait of this link runs the hook from now on: the transactions', the login's and the
    // greeting's alike.
    void setWaitHook(WaitHook hook) { m_waitHook = std::move(hook); }
    // A transaction or a receive is waiting for the device; whatever the hook lets run must not use the
    // link meanwhile.
    bool waiting() const { return m_waiting; }

    // One receive of at most `limit` bytes, waiting for data within the unlimited-wait bound.
    std::string receiveOnce(std::size_t limit);

    // Bytes that came when no command of this side was waiting for them: found by the drain before a
    // command, or by lookForUnasked(). The protocol numbers no request, so such bytes are the evidence
    // that some earlier reply was not the answer to its command. Counted over the link's life.
    unsigned unaskedReplies() const { return m_unaskedReplies; }
    // Waits at most `wait` for bytes nobody asked for, moves them into the transcript and counts them;
    // true when some came.
    bool lookForUnasked(std::chrono::milliseconds wait, Transcript& transcript);

    // While it lives, no wait of the link goes past `bound` from now: an exchange of several commands
    // (the login) then has one bound in all, not one per command.
    class Deadline {
    public:
        Deadline(DeviceLink& link, std::chrono::milliseconds bound)
            : m_link(link) {
            m_link.m_deadline = std::chrono::steady_clock::now() + bound;
        }
        ~Deadline() { m_link.m_deadline.reset(); }
        Deadline(const Deadline&) = delete;
        Deadline& operator=(const Deadline&) = delete;

    private:
        DeviceLink& m_link;
    };

    // True once the peer has closed its side; looks without consuming any data.
    bool peerHasClosed() const;

    const Timing& timing() const { return m_timing; }

private:
    enum class WaitResult { Readable, TimedOut, Failed };
    struct Waiter {
        const WaitHook& hook;
        std::string_view command; // empty for the greeting
        std::chrono::steady_clock::time_point sent;
    };
    // With a waiter the wait is cut into slices, and its hook runs between them.
    WaitResult waitReadable(std::chrono::milliseconds wait, const Waiter* waiter = nullptr) const;
    WaitResult pollReadable(std::chrono::milliseconds wait) const;
    std::string receiveChunk(std::size_t limit);
    void sendAll(std::string_view bytes);
    bool drain(std::chrono::milliseconds wait, Transcript& transcript);

    // Only the bytes a receive reports are ever read from it, so it is neither zeroed nor reallocated.
    std::unique_ptr<char[]> m_buffer = std::make_unique_for_overwrite<char[]>(kReceiveLimit);
    net::Socket m_fd = net::kNoSocket;
    bool m_connected = false;
    Timing m_timing;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    WaitHook m_waitHook;
    bool m_waiting = false;
    unsigned m_unaskedReplies = 0;
    int m_lastError = 0;
};

} // namespace kvx
