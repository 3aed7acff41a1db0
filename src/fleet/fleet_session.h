#pragma once

#include "core/connection.h"
#include "core/discovery.h"
#include "core/login_exchange.h"
#include "core/prompter.h"
#include "core/transcript.h"

#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace kvx {
class DiscoverySocket;
}

namespace kvx::fleet {

// A device named on the command line: dotted IPv4 text or a host name and, when given, the control port.
struct HostAddress {
    std::string host;
    unsigned port = 0; // 0: asked of the device's discovery answer
    std::string label() const;
    bool isDotted() const;
};
// "10.0.0.5", "kvx-7.example", "localhost:9000"; nothing for anything else. A name is only checked for
// its form here; it is looked up when the device is worked on, so a name that does not resolve is that
// device's failure, not a wrong command line.
std::optional<HostAddress> parseHostAddress(std::string_view text);

// What the windows would have shown, kept for the report instead; files are the ones given on the
// command line.
class FleetPrompter : public Prompter {
public:
    void message(const QString& text) override { messages << text; }
    // Nobody is there to answer, so every question is declined.
    bool askYesNo(const QString&, const QString& text, Icon) override {
        messages << text;
        return false;
    }
    QString openFileName(const QString&, const QString&) override { return file; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return file; }
    bool openInViewer(const QString& path) override {
        viewed = path;
        return true;
    }

    QString file;
    QString viewed;
    QStringList messages;
};

// Where a command line's echo goes: nowhere, or a stream for --verbose.
class StreamTranscript : public Transcript {
public:
    explicit StreamTranscript(std::function<void(std::string_view)> sink = {})
        : m_sink(std::move(sink)) {}
    void append(std::string_view text) override {
        if (m_sink)
            m_sink(text);
    }
    void clear() override {}

private:
    std::function<void(std::string_view)> m_sink;
};

struct ConnectSettings {
    Credentials credentials;
    DiscoveryTarget discovery; // the probe's port
    DeviceLink::Timing timing; // connect and wait bounds
    std::chrono::milliseconds probeWait{1000};
    // Set by whoever runs the device to have it stop: nothing more is sent, so the procedure fails at
    // the step it was at, unless it has begun changing the device (see FleetSession::finishOnStop).
    const std::atomic<bool>* stop = nullptr;
};

// One device's connection, made the way the search and connect window makes it (probe, connect,
// login, capability line), and the session the procedures run on. One per thread. Nobody is there to
// carry out a request: the procedures' reconnect requests are only counted.
class FleetSession : public Connection, public CountedRequests, public DeviceSession {
public:
    FleetSession(ConnectSettings settings, FleetPrompter& prompter, Transcript& transcript);
    ~FleetSession() override;

    // How long the device's identity (the discovery answer) is waited for when the port is given:
    // not asked at all; until the probe's wait has passed, while the login runs; or not beyond the
    // caller's own work, which takes it with takeArrivedIdentity() if it came meanwhile.
    enum class Identity { NotWanted, Awaited, IfArrived };

    // False with `step` naming where it failed; the message, with the reason where the system gives
    // one, is in the prompter. Without a port the discovery answer is always awaited: it gives the port.
    bool open(const HostAddress& host, Identity identity, std::string& step);
    bool open(const HostAddress& host, bool wantIdentity, std::string& step) {
        return open(host, wantIdentity ? Identity::Awaited : Identity::NotWanted, step);
    }
    // The discovery answer, if it has come by now; nothing is waited for.
    void takeArrivedIdentity();

    // Remembers the last command and whether it went unanswered, for takeSilenceText().
    std::string transact(std::string_view command, int waitSeconds) override;
    // Why the last command got no reply ("No reply to "Ver" within 2 s."), or nothing when it got one;
    // told once.
    QString takeSilenceText();
    // From now on a stop is not heeded: a device that has begun to be changed is taken to the end, so
    // that a cancel never leaves it with part of a change.
    void finishOnStop() { m_heedStop = false; }

private:
    // The discovery answer, if one comes within `wait`.
    std::optional<DeviceRecord> arrivedAnswer(std::chrono::milliseconds wait);
    // The record with the address reached and the port given.
    void takeIdentity(DeviceRecord record);

    ConnectSettings m_settings;
    FleetPrompter& m_prompter;
    std::unique_ptr<DiscoverySocket> m_probe; // while an answer may still come
    std::string m_ip;
    unsigned m_givenPort = 0;
    std::string m_lastCommand;
    int m_lastWait = 0;
    bool m_lastSilent = false;
    bool m_lastClosed = false;
    bool m_lastStopped = false;
    bool m_heedStop = true;
};

// A message of the prompter's and the reason that follows it: both in one message, so that a report
// keeps them together. An empty reason adds nothing.
void appendReason(QStringList& messages, const QString& reason);

} // namespace kvx::fleet
