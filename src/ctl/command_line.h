#pragma once

#include <QStringList>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace kvx::ctl {

// Exit statuses: every device did what was asked (and, for diff, equals the file); some device
// differs from the file; some device failed; the command line itself was wrong.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitFailed = 2;
inline constexpr int kExitUsage = 64;

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false; // err is a terminal: progress lines are drawn there
    // Reads the password without echo; nothing when there is no terminal to ask on.
    std::function<std::optional<std::string>()> askPassword;
    // The terminal's height in rows, asked at every redraw of the progress; 24 when not given.
    std::function<int()> terminalRows;
};

// The whole program: `arguments` as main() gets them, the program name first.
int runCommandLine(const QStringList& arguments, Console& console);

} // namespace kvx::ctl
