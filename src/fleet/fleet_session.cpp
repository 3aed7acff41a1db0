#include "fleet_session.h"

#include "core/discovery_socket.h"
#include "core/qt_text.h"
#include "fleet/printable.h"
#include "platform/net.h"

#include <QCoreApplication>
#include <cerrno>

namespace kvx::fleet {
namespace {

// The connect operation's own texts, so that the report says what the window would have said.
QString connectText(const char* text) {
    return QCoreApplication::translate("kvx::SearchConnectWindow", text);
}

bool isDottedIpv4(const std::string& text) {
    return net::parseIpv4(text).has_value();
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

// The dotted IPv4 address of a host text: itself when it is one, else the name's first IPv4 address;
// nothing, with `error` saying why, when the name has none.
std::optional<std::string> resolveIpv4(const std::string& host, std::string& error) {
    if (isDottedIpv4(host))
        return host;
    const std::optional<std::uint32_t> address = net::resolveIpv4(host, error);
    if (!address)
        return std::nullopt;
    return net::ipv4Text(*address);
}

QString seconds(std::chrono::milliseconds time) {
    return QString::number(double(time.count()) / 1000.0);
}

// What the system said of a connect that failed, after the window's own text.
QString connectReason(const std::string& ip, unsigned port, int error, std::chrono::milliseconds bound) {
    const QString where = QStringLiteral("%1:%2").arg(fromStd(ip)).arg(port);
    if (error == ETIMEDOUT)
        return QStringLiteral("No answer from %1 within %2 s.").arg(where, seconds(bound));
    return QStringLiteral("%1: %2.").arg(where, fromStd(net::errorText(error)));
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

FleetSession::FleetSession(ConnectSettings settings, FleetPrompter& prompter, Transcript& transcript)
    : Connection(settings.timing, transcript)
    , m_settings(std::move(settings))
    , m_prompter(prompter) {}

FleetSession::~FleetSession() = default;

std::optional<DeviceRecord> FleetSession::arrivedAnswer(std::chrono::milliseconds wait) {
    std::string datagram;
    if (!m_probe || m_probe->receive(wait, datagram) != DiscoverySocket::Receive::Datagram)
        return std::nullopt;
    // One answer is all the probe asked for.
    m_probe.reset();
    return parseDiscoveryReply(datagram);
}

void FleetSession::takeIdentity(DeviceRecord record) {
    record.ipAddress = m_ip;
    if (m_givenPort != 0)
        record.controlPort = std::to_string(m_givenPort);
    setDeviceRecord(record);
}

void FleetSession::takeArrivedIdentity() {
    if (const std::optional<DeviceRecord> record = arrivedAnswer(std::chrono::milliseconds(0)))
        takeIdentity(*record);
}

bool FleetSession::open(const HostAddress& host, Identity identity, std::string& step) {
    // The probe names the device, as a row of the search list does, and gives its control port when
    // the command line did not.
    step = "resolve";
    std::string lookupError;
    const std::optional<std::string> ip = resolveIpv4(host.host, lookupError);
    if (!ip) {
        m_prompter.message(QStringLiteral("No address for the host name %1: %2.")
                               .arg(fromStd(printable(host.host)), fromStd(lookupError)));
        return false;
    }
    m_ip = *ip;
    m_givenPort = host.port;
    step = "discovery";
    int probeError = 0;
    if (identity != Identity::NotWanted || host.port == 0) {
        m_probe = std::make_unique<DiscoverySocket>(m_settings.discovery);
        if (!m_probe->open() || !m_probe->sendProbe(*ip)) {
            probeError = m_probe->lastError();
            m_probe.reset();
        }
    }
    const auto answerDue = std::chrono::steady_clock::now() + m_settings.probeWait;
    // Without a port the answer is needed before connecting. With one it only names the device: it
    // arrives while the login goes on and is picked up after it, so the login's time counts towards
    // the probe's wait instead of adding to it.
    const std::optional<DeviceRecord> answered =
        host.port == 0 ? arrivedAnswer(m_settings.probeWait) : std::nullopt;
    takeIdentity(answered.value_or(DeviceRecord()));
    const unsigned port = leadingDecimal(deviceRecord().controlPort);
    if (port == 0 || port > 65535) {
        const QString probe = QStringLiteral("%1:%2").arg(fromStd(*ip)).arg(m_settings.discovery.port);
        m_prompter.message(
            connectText("Search Error. Check Lumeno-KVX and Try again.") + u' ' +
            (probeError != 0 ? QStringLiteral("The discovery probe to %1 could not be sent: %2.")
                                   .arg(probe, fromStd(net::errorText(probeError)))
             : answered ? QStringLiteral("The discovery answer from %1 gives no control port.").arg(probe)
                        : QStringLiteral("No discovery answer from %1 within %2 s.")
                              .arg(probe, seconds(m_settings.probeWait))));
        return false;
    }
    // Also when the device turns the login down: its identity still names it. A device that takes no
    // connection is not waited for.
    const auto pickUpIdentity = [&] {
        if (identity != Identity::Awaited || host.port == 0)
            return;
        if (const std::optional<DeviceRecord> record = arrivedAnswer(
                std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                           answerDue - std::chrono::steady_clock::now()))))
            takeIdentity(*record);
        m_probe.reset();
    };
    step = "connect";
    if (!link().create() || !link().connectTo(*ip, port)) {
        m_prompter.message(connectText("Lumeno-KVX Connection is failed.") + u' ' +
                           connectReason(*ip, port, link().lastError(), m_settings.timing.connectBound));
        return false;
    }
    step = "login";
    if (!runLoginExchange(
            link(), transcript(), m_prompter, [this] { postReconnect(); }, m_settings.credentials)) {
        pickUpIdentity();
        // A login that posted the reconnect request has said why already.
        if (reconnects == 0)
            m_prompter.message(connectText("Check User name and Password."));
        else if (link().peerHasClosed())
            appendReason(m_prompter.messages, QStringLiteral("The device closed the connection."));
        return false;
    }
    pickUpIdentity();
    step = "capabilities";
    readCapabilities();
    return true;
}

std::string FleetSession::transact(std::string_view command, int waitSeconds) {
    m_lastStopped = m_heedStop && m_settings.stop && m_settings.stop->load();
    std::string reply = m_lastStopped ? std::string() : Connection::transact(command, waitSeconds);
    m_lastCommand = command;
    m_lastWait = waitSeconds;
    m_lastSilent = reply.empty();
    m_lastClosed = reply.empty() && link().peerHasClosed();
    return reply;
}

QString FleetSession::takeSilenceText() {
    if (!m_lastSilent)
        return {};
    m_lastSilent = false;
    const QString command = fromStd(printable(beforeLineEnd(m_lastCommand)));
    if (m_lastStopped)
        return QStringLiteral("Stopped before \"%1\": the run was cancelled.").arg(command);
    if (m_lastClosed)
        return QStringLiteral("The device closed the connection at \"%1\".").arg(command);
    const DeviceLink::Timing& timing = m_settings.timing;
    return QStringLiteral("No reply to \"%1\" within %2 s.")
        .arg(command, seconds(m_lastWait == 0 ? timing.unlimitedWaitBound : m_lastWait * timing.waitUnit));
}

void appendReason(QStringList& messages, const QString& reason) {
    if (reason.isEmpty())
        return;
    if (messages.isEmpty())
        messages << reason;
    else
        messages.last() += u' ' + reason;
}

} // namespace kvx::fleet
