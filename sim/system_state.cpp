#include "system_state.h"

namespace kvx::sim {
namespace {

constexpr std::size_t kDefaultLogBudget = 8000;

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

} // namespace

SystemState::SystemState(const DeviceOptions& options, const CommandTable& commands, EventLog& events)
    : m_options(options)
    , m_commands(commands)
    , m_events(events) {}

void SystemState::registerCommands(CommandTable& table) {
    table.add("User", this, &SystemState::onUser, {}, Access::BeforeLogin);
    table.add("Pass", this, &SystemState::onPass, {}, Access::BeforeLogin);
    table.add("help", this, &SystemState::onHelp);
    table.add("Ver", this, &SystemState::onVersion);
    table.add("log", this, &SystemState::onLog);
    table.add("Reboot", this, &SystemState::onReboot);
}

std::string SystemState::onUser(Request& request) {
    request.session.user = std::string(request.argument);
    return "+OK Password required\r\n";
}

std::string SystemState::onPass(Request& request) {
    Session& session = request.session;
    session.loggedIn = session.user == m_options.user && request.argument == m_options.password;
    if (!session.loggedIn) {
        m_events.add("Login failed for user \"" + session.user + "\" from " + session.peer);
        return "-ERR Authentication failed\r\n";
    }
    m_events.add("User " + session.user + " logged in from " + session.peer);
    return "+OK User Authenticated\r\n";
}

// The first line is what the manager reads as the capability line; the rest is for people.
std::string SystemState::onHelp(std::string_view) {
    std::string text = "+OK " + m_options.capabilities + "\r\n";
    for (const std::string_view word : m_commands.words())
        text.append(word).append("\r\n");
    return text;
}

std::string SystemState::onVersion(std::string_view) {
    return "+OK Ver " + m_options.firmwareVersion + "\r\n";
}

// The newest events that fit, so a long-running device keeps its reply small.
std::string SystemState::onLog(std::string_view) {
    return (m_logText.empty() ? m_events.newest(kDefaultLogBudget) : withCrLfLines(m_logText)) + kOk;
}

std::string SystemState::onReboot(Request& request) {
    m_events.add("Reboot requested from " + request.session.peer);
    request.reboot = true;
    return kOk;
}

} // namespace kvx::sim
