#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>

namespace kvx::sim {

// What "log" reports when no log text was given: the newest events since start, each stamped with the
// uptime at which it happened.
class EventLog {
public:
    void restart(); // the device booted: uptime counts from now
    void add(const std::string& text);
    // The newest events that fit in `budget` bytes, oldest first, one line each.
    std::string newest(std::size_t budget) const;

private:
    std::chrono::steady_clock::time_point m_bootTime = std::chrono::steady_clock::now();
    std::deque<std::string> m_events;
};

} // namespace kvx::sim
