#include "progress_board.h"

#include <algorithm>

namespace kvx::ctl {

ProgressBoard::ProgressBoard(std::ostream& out, bool terminal, std::vector<std::string> labels,
                             std::function<int()> rows)
    : m_out(out)
    , m_terminal(terminal)
    , m_labels(std::move(labels))
    , m_rows(std::move(rows))
    , m_lines(m_labels.size()) {}

void ProgressBoard::set(std::size_t device, DeviceState state, const std::string& text) {
    const std::lock_guard lock(m_mutex);
    m_lines[device] = {state, text};
    m_changed = true;
}

std::string ProgressBoard::summary() const {
    std::size_t finished = 0;
    std::size_t failed = 0;
    std::size_t running = 0;
    for (const Line& line : m_lines) {
        finished += line.state == DeviceState::Done || line.state == DeviceState::Failed;
        failed += line.state == DeviceState::Failed;
        running += line.state == DeviceState::Running;
    }
    return std::to_string(finished) + " of " + std::to_string(m_lines.size()) + " finished (" +
           std::to_string(failed) + " failed), " + std::to_string(running) + " running";
}

void ProgressBoard::redraw() {
    if (!m_terminal)
        return;
    const std::lock_guard lock(m_mutex);
    if (!m_changed)
        return;
    m_changed = false;
    // One row stays free for the cursor, so the top line never scrolls away.
    const int rows = m_rows ? m_rows() : 24;
    const bool oneEach = m_lines.size() < std::size_t(std::max(rows, 1));
    if (m_drawn > 0)
        m_out << "\x1b[" << m_drawn << "A";
    if (oneEach) {
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            m_out << "\r\x1b[K" << m_labels[i] << ": " << m_lines[i].text << "\n";
        m_drawn = m_lines.size();
    } else {
        m_out << "\r\x1b[K" << summary() << "\n";
        m_drawn = 1;
    }
    // Whatever an earlier, longer board left below.
    m_out << "\x1b[J";
    m_out.flush();
}

void ProgressBoard::erase() {
    if (!m_terminal)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_drawn > 0)
        m_out << "\x1b[" << m_drawn << "A\r\x1b[J";
    m_drawn = 0;
    m_out.flush();
}

} // namespace kvx::ctl
