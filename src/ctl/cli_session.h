#pragma once

#include "core/connection.h"
#include "core/discovery.h"
#include "core/login_exchange.h"
#include "core/prompter.h"
#include "core/transcript.h"

#include <QStringList>
#include <functional>
#include <string>

namespace kvx::ctl {

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
class CliPrompter : public Prompter {
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
};

// One device's connection, made the way the search and connect window makes it (probe, connect,
// login, capability line), and the session the procedures run on. One per thread. Nobody is there to
// carry out a request: the procedures' reconnect requests are only counted.
class CliSession : public Connection, public CountedRequests, public DeviceSession {
public:
    CliSession(ConnectSettings settings, CliPrompter& prompter, Transcript& transcript);

    // False with `step` naming where it failed; the message is in the prompter. The discovery probe
    // runs when the port is not given or the identity is wanted.
    bool open(const HostAddress& host, bool wantIdentity, std::string& step);

private:
    ConnectSettings m_settings;
    CliPrompter& m_prompter;
};

} // namespace kvx::ctl
