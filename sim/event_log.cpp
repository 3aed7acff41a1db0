#include "event_log.h"

#include <cstdio>

namespace kvx::sim {
namespace {

constexpr std::size_t kMaxEvents = 256;

} // namespace

void EventLog::restart() {
    m_bootTime = std::chrono::steady_clock::now();
}

void EventLog::add(const std::string& text) {
    const auto uptime =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_bootTime)
            .count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%6lld.%03lld] ", static_cast<long long>(uptime / 1000),
                  static_cast<long long>(uptime % 1000));
    m_events.push_back(stamp + text);
    if (m_events.size() > kMaxEvents)
        m_events.pop_front();
}

std::string EventLog::newest(std::size_t budget) const {
    std::size_t first = m_events.size();
    std::size_t size = 0;
    while (first > 0 && size + m_events[first - 1].size() + 2 <= budget)
        size += m_events[--first].size() + 2;
    std::string text;
    for (std::size_t i = first; i < m_events.size(); ++i)
        text.append(m_events[i]).append("\r\n");
    return text;
}

} // namespace kvx::sim
