#include "ctl/command_line.h"
#include "platform/terminal.h"

#include <QCoreApplication>
#include <iostream>

namespace {

namespace platform = kvx::platform;

// Asked on the terminal with its echo off, so the password never shows on the screen nor stands on a
// command line that other users can list.
std::optional<std::string> askPassword() {
    return platform::readHiddenLine("Password: ");
}

int terminalRows() {
    return platform::terminalRows(platform::Stream::error).value_or(24);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    kvx::ctl::Console console{std::cout, std::cerr, platform::isTerminal(platform::Stream::error),
                              askPassword, terminalRows};
    return kvx::ctl::runCommandLine(QCoreApplication::arguments(), console);
}
