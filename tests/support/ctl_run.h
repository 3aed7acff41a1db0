#pragma once

#include "ctl/command_line.h"

#include <QStringList>
#include <optional>
#include <sstream>
#include <string>

namespace kvx::test {

struct CtlResult {
    int status;
    std::string out;
    std::string err;
};

// kvx100ctl run in-process with the arguments after the program name and no terminal to ask a password
// on; with terminalRows, the error stream is a terminal of that many rows.
inline CtlResult runCtl(QStringList arguments, int terminalRows = 0) {
    arguments.prepend(QStringLiteral("kvx100ctl"));
    std::ostringstream out;
    std::ostringstream err;
    ctl::Console console{out, err, terminalRows > 0, [] { return std::optional<std::string>(); },
                         [terminalRows] {
                             return terminalRows;
                         }};
    const int status = ctl::runCommandLine(arguments, console);
    return {status, out.str(), err.str()};
}

} // namespace kvx::test
