#include "mode_state.h"

#include "core/vocabulary.h"
#include "sim/arguments.h"

namespace kvx::sim {

ModeState::ModeState(int initial, EventLog& events)
    : m_current(initial)
    , m_events(events) {}

void ModeState::registerCommands(CommandTable& table) {
    table.add("Mode", this, &ModeState::onQuery);
    table.add("mode", this, &ModeState::onChange);
}

std::string_view ModeState::caption() const {
    const std::string_view caption = kvx::modeCaption(m_current);
    return caption.empty() ? std::string_view("Unknown Mode") : caption;
}

std::string ModeState::onQuery(std::string_view) {
    return "+OK " + std::string(caption()) + "\r\n";
}

// The mode page sends the keyword; a restored configuration also sends the caption, in any case.
std::string ModeState::onChange(Request& request) {
    if (request.argument.empty()) // a configuration backup asks in lower case
        return onQuery(request.argument);
    const auto& modes = kvx::modeTable();
    for (int i = 0; i < kvx::kModeCount; ++i) {
        const auto& mode = modes[static_cast<std::size_t>(i)];
        if (sameIgnoringCase(request.argument, mode.keyword) ||
            sameIgnoringCase(request.argument, mode.caption)) {
            m_current = i;
            m_events.add("Operation mode changed to " + std::string(mode.caption) + " by " +
                         request.session.peer);
            return kOk;
        }
    }
    return "-ERR Unknown mode\r\n";
}

} // namespace kvx::sim
