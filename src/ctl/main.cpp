#include "ctl/command_line.h"

#include <QCoreApplication>
#include <fcntl.h>
#include <iostream>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Asked on the controlling terminal with its echo off, so the password never shows on the screen nor
// stands on a command line that other users can list.
std::optional<std::string> askPassword() {
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
    static constexpr char prompt[] = "Password: ";
    [[maybe_unused]] const ssize_t shown = ::write(tty, prompt, sizeof prompt - 1);
    std::string password;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n' && c != '\r')
        password += c;
    if (canHide)
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    [[maybe_unused]] const ssize_t ended = ::write(tty, "\n", 1);
    ::close(tty);
    return password;
}

int terminalRows() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 ? int(size.ws_row) : 24;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    kvx::ctl::Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, askPassword, terminalRows};
    return kvx::ctl::runCommandLine(QCoreApplication::arguments(), console);
}
