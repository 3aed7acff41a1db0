#include "cli_session.h"

#include "core/discovery_socket.h"
#include "core/qt_text.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <netdb.h>

namespace kvx::ctl {
namespace {

// The connect operation's own texts, so that the report says what the window would have said.
QString connectText(const char* text) {
    return QCoreApplication::translate("kvx::SearchConnectWindow", text);
}

bool isDottedIpv4(const std::string& text) {
    in_addr address{};
    return ::inet_pton(AF_INET, text.c_str(), &address) == 1;
}

// Labels of letters, digits and inner hyphens; a last label of digits only would be a mistyped
// address, which must not go to a name server as a name.
bool isHostName(std::string_view name) {
    if (name.empty() || name.size() > 253 || name.ends_with('.'))
        return false;
    bool lastAllDigits = false;
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t dot = std::min(name.find('.', start), name.size());
        const std::string_view label = name.substr(start, dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            label.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") !=
                std::string_view::npos)
            return false;
        lastAllDigits = label.find_first_not_of("0123456789") == std::string_view::npos;
        start = dot + 1;
    }
    return !lastAllDigits;
}

// The dotted IPv4 address of a host text: itself when it is one, else the name's first IPv4 address.
std::optional<std::string> resolveIpv4(const std::string& host) {
    if (isDottedIpv4(host))
        return host;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(found);
    return ok ? std::optional<std::string>(text) : std::nullopt;
}

} // namespace

std::string HostAddress::label() const {
    return port == 0 ? host : host + ":" + std::to_string(port);
}

bool HostAddress::isDotted() const {
    return isDottedIpv4(host);
}

std::optional<HostAddress> parseHostAddress(std::string_view text) {
    const std::size_t colon = text.find(':');
    HostAddress host{std::string(text.substr(0, colon)), 0};
    if (!isDottedIpv4(host.host) && !isHostName(host.host))
        return std::nullopt;
    if (colon != std::string_view::npos) {
        const std::string_view port = text.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        host.port = unsigned(std::stoul(std::string(port)));
        if (host.port == 0 || host.port > 65535)
            return std::nullopt;
    }
    return host;
}

CliSession::CliSession(ConnectSettings settings, CliPrompter& prompter, Transcript& transcript)
    : Connection(settings.timing, transcript)
    , m_settings(std::move(settings))
    , m_prompter(prompter) {}

bool CliSession::open(const HostAddress& host, bool wantIdentity, std::string& step) {
    // The probe names the device, as a row of the search list does, and gives its control port when
    // the command line did not.
    step = "resolve";
    const std::optional<std::string> ip = resolveIpv4(host.host);
    if (!ip) {
        m_prompter.message(QStringLiteral("No address for the host name %1.").arg(fromStd(host.host)));
        return false;
    }
    step = "discovery";
    DiscoverySocket probe(m_settings.discovery);
    const bool probing = (wantIdentity || host.port == 0) && probe.open() && probe.sendProbe(*ip);
    const auto answerDue = std::chrono::steady_clock::now() + m_settings.probeWait;
    const auto answer = [&](std::optional<std::chrono::milliseconds> wait) {
        std::string datagram;
        DeviceRecord record;
        if (probing && wait && probe.receive(*wait, datagram) == DiscoverySocket::Receive::Datagram)
            record = parseDiscoveryReply(datagram).value_or(DeviceRecord());
        record.ipAddress = *ip;
        if (host.port != 0)
            record.controlPort = std::to_string(host.port);
        return record;
    };
    // Without a port the answer is needed before connecting. With one it only names the device: it
    // arrives while the login goes on and is picked up after it, so the login's time counts towards
    // the probe's wait instead of adding to it.
    setDeviceRecord(answer(host.port == 0 ? std::optional(m_settings.probeWait) : std::nullopt));
    const unsigned port = leadingDecimal(deviceRecord().controlPort);
    if (port == 0 || port > 65535) {
        m_prompter.message(connectText("Search Error. Check Lumeno-KVX and Try again."));
        return false;
    }
    // Also when the device turns the login down: its identity still names it. A device that takes no
    // connection is not waited for.
    const auto pickUpIdentity = [&] {
        if (probing && host.port != 0)
            setDeviceRecord(answer(std::max(std::chrono::milliseconds(0),
                                            std::chrono::duration_cast<std::chrono::milliseconds>(
                                                answerDue - std::chrono::steady_clock::now()))));
    };
    step = "connect";
    if (!link().create() || !link().connectTo(*ip, port)) {
        m_prompter.message(connectText("Lumeno-KVX Connection is failed."));
        return false;
    }
    step = "login";
    if (!runLoginExchange(
            link(), transcript(), m_prompter, [this] { postReconnect(); }, m_settings.credentials)) {
        pickUpIdentity();
        // A login that posted the reconnect request has said why already.
        if (reconnects == 0)
            m_prompter.message(connectText("Check User name and Password."));
        return false;
    }
    pickUpIdentity();
    step = "capabilities";
    readCapabilities();
    return true;
}

} // namespace kvx::ctl
