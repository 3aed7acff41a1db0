#pragma once

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace kvx::ctl {

enum class DeviceState { Waiting, Running, Done, Failed };

// The devices' progress on a terminal, redrawn in place: one line per device while they fit on the
// terminal, else one summary line. Devices report from their threads and only one thread draws, a few
// times a second, so what is written grows with the time the run takes, not with its steps.
class ProgressBoard {
public:
    // Draws nothing unless `terminal`; `rows` tells the terminal's height at each redraw.
    ProgressBoard(std::ostream& out, bool terminal, std::vector<std::string> labels,
                  std::function<int()> rows);

    void set(std::size_t device, DeviceState state, const std::string& text);
    // Draws the board again if anything changed since it was last drawn.
    void redraw();
    // Takes the board off the terminal, for what follows to be written where it stood.
    void erase();

private:
    struct Line {
        DeviceState state = DeviceState::Waiting;
        std::string text = "waiting";
    };
    std::string summary() const;

    std::ostream& m_out;
    const bool m_terminal;
    const std::vector<std::string> m_labels;
    const std::function<int()> m_rows;
    std::mutex m_mutex;
    std::vector<Line> m_lines;
    bool m_changed = true;
    std::size_t m_drawn = 0; // lines on the terminal from the last redraw
};

} // namespace kvx::ctl
