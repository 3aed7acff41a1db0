#pragma once

#include <optional>
#include <string>
#include <string_view>

// The console kvx100ctl talks to: a password asked without echo, and what is known of the streams.
namespace kvx::platform {

enum class Stream { input, output, error };

// Whether the stream is a terminal (a console on Windows) rather than a file or a pipe.
bool isTerminal(Stream stream);

// The rows of the terminal the stream shows on; nothing when it is no terminal or does not tell.
std::optional<int> terminalRows(Stream stream);

// Shows `prompt` on the terminal itself, not on a redirected stream, and reads one line with the echo
// off, so the password never shows on the screen. The line comes without its end, as UTF-8. Nothing when
// the process has no terminal.
std::optional<std::string> readHiddenLine(std::string_view prompt);

} // namespace kvx::platform
