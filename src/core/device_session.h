#pragma once

#include "core/vocabulary.h"

#include <chrono>
#include <string>
#include <string_view>

namespace kvx {

// The one way to reach the device and what is known about it.
class DeviceConnection {
public:
    virtual ~DeviceConnection() = default;

    // Sends one command line and returns the reply; empty means no answer in time.
    virtual std::string transact(std::string_view command, int waitSeconds) = 0;
    // Page timer ticks skip while this holds: while a transaction runs (its wait lets timers fire), so
    // that none starts inside another, and through a reboot, from the dropped connection until the
    // login on the new one, so that none talks to a device that is away or not logged into yet.
    virtual bool inTransaction() const = 0;
    virtual bool supportsCommand(std::string_view keyword) const = 0;
    virtual VersionCode versionCode() const = 0;
    virtual void setVersionCode(VersionCode code) = 0;
    virtual const DeviceRecord& deviceRecord() const = 0;

    // Replies that came when no command had asked for them, counted over the connection's life: the
    // drain before each command finds them, and so does lookForUnasked(). The protocol numbers no
    // request, so one such line shifts every later reply by one (see Reading).
    virtual unsigned unaskedReplies() const = 0;
    // Waits at most `wait` for such a reply; true when one came (it is counted and shown).
    virtual bool lookForUnasked(std::chrono::milliseconds wait) = 0;
    // Readings under way (see Reading); while one runs, a reply nobody asked for fails the query.
    virtual int& readingDepth() = 0;

    // The reboot's own handling of the connection: drop it (no disconnect notice follows), then connect
    // a fresh socket to the address and port of the last connect, waiting at most `bound`. The reboot
    // ends with the re-login request, or with the reconnect request and the search window's login.
    enum class Reopen { Connected, CreateFailed, ConnectFailed };
    virtual void closeConnection() = 0;
    virtual Reopen reopenConnection(std::chrono::milliseconds bound) = 0;
};

// What only the owner of the windows may carry out.
class SessionRequests {
public:
    virtual ~SessionRequests() = default;

    // The search and connect window, opened from a page; its result is not used.
    virtual void runSearchWindow() = 0;
    // Queued: they run after the caller has returned to the event loop.
    virtual void postReconnect() = 0;
    virtual void postRelogin() = 0;
    virtual void postClose() = 0;
};

// What every page, window and procedure gets. Both halves are virtual bases so that an owner takes each
// from its own implementation: the connection from `Connection`, the requests from its window flow.
class DeviceSession : public virtual DeviceConnection, public virtual SessionRequests {};

// Requests only counted, for an owner without windows: it looks at the counts once the call that made
// them has returned.
class CountedRequests : public virtual SessionRequests {
public:
    void runSearchWindow() override { ++searchWindowsRun; }
    void postReconnect() override { ++reconnects; }
    void postRelogin() override { ++relogins; }
    void postClose() override { ++closes; }

    int searchWindowsRun = 0;
    int reconnects = 0;
    int relogins = 0;
    int closes = 0;
};

} // namespace kvx
