#pragma once

#include <string>

// What a long-running program asks of the system around it: to be stopped in an orderly way, enough
// open files for a large fleet, and where to keep what it writes for the user as it runs. (Temporary
// files go where Qt's QDir::tempPath says, on every system.)
namespace kvx::platform {

// Takes the stop requests (SIGINT and SIGTERM on POSIX; Ctrl+C, Ctrl+Break and the console's close on
// Windows) away from their default of ending the process, so that waitForStop() sees them instead, and
// keeps a peer that closes its end of a socket from ending the process. Call it before starting any
// thread: on POSIX the threads inherit the blocked signals, so nothing interrupts them and stopping
// happens on an ordinary thread.
void takeStopRequests();

// Returns once a stop was requested; takeStopRequests() must have been called.
void waitForStop();

// Lifts the soft limit of open files to the hard one, where the system has such limits.
void raiseOpenFileLimit();

// The user's folder for state a program keeps between runs (logs, history): $XDG_STATE_HOME when it is
// absolute, else ~/.local/state, on POSIX; the user's local application data on Windows. UTF-8,
// without a trailing separator; empty when the system names none.
std::string userStateFolder();

} // namespace kvx::platform
