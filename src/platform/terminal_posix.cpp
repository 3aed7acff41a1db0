#include "platform/terminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kvx::platform {
namespace {

int descriptorOf(Stream stream) {
    switch (stream) {
    case Stream::input:
        return STDIN_FILENO;
    case Stream::output:
        return STDOUT_FILENO;
    case Stream::error:
        break;
    }
    return STDERR_FILENO;
}

} // namespace

bool isTerminal(Stream stream) {
    return ::isatty(descriptorOf(stream)) == 1;
}

std::optional<int> terminalRows(Stream stream) {
    winsize size{};
    if (::ioctl(descriptorOf(stream), TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return int(size.ws_row);
    return std::nullopt;
}

std::optional<std::string> readHiddenLine(std::string_view prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0)
        return std::nullopt;
    termios saved{};
    const bool canHide = ::tcgetattr(tty, &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &hidden);
    }
    [[maybe_unused]] const ssize_t shown = ::write(tty, prompt.data(), prompt.size());
    std::string line;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n' && c != '\r')
        line += c;
    if (canHide)
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    [[maybe_unused]] const ssize_t ended = ::write(tty, "\n", 1);
    ::close(tty);
    return line;
}

} // namespace kvx::platform
