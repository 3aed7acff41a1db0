#pragma once

#include "fleet/device_commands.h"
#include "fleet/inventory.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvx::ctl {

// The ranges of the command line's numbers, as the help texts state them: beyond them a number is a
// mistake (or a hang, or an overflow of the clock), not a wish.
inline constexpr double kMinTimeoutSeconds = 0.001;
inline constexpr double kMaxTimeoutSeconds = 3600;
inline constexpr int kMaxWaitSeconds = 3600;
inline constexpr int kMaxParallel = 256;
// The largest host list the options may name: tens of thousands of devices, as an inventory.
inline constexpr qint64 kMaxHostListBytes = fleet::kMaxInventoryBytes;

// Everything the options of one command settle.
struct Invocation {
    fleet::CommandSettings settings;
    std::vector<fleet::Device> devices; // each device once, in the order first listed
    std::vector<std::string> repeated;  // a notice for each device listed more than once
    int parallel = 8;
    enum class Format { Text, Json, Csv } format = Format::Text;
    bool verbose = false;
    // discover
    std::string target = "255.255.255.255";
    std::vector<std::string> interfaces; // each up, with an IPv4 broadcast address
    double timeoutSeconds = 1.0;
};

// A command line read: an invocation to run, a text for the standard output and nothing more to do
// (help, version), or a wrong command line with the text for the error stream.
struct ParsedCommandLine {
    enum class Kind { Run, Print, Usage } kind = Kind::Usage;
    Invocation invocation;
    std::string text;
};

// `arguments` as main() gets them, the program name first. Reads the host list, password and
// configuration files the command line names, and asks for the password through `askPassword` when no
// file gives it; nothing else leaves the function.
ParsedCommandLine parseCommandLine(const QStringList& arguments,
                                   const std::function<std::optional<std::string>()>& askPassword);

// The devices of a host list: one HOST[:PORT] a line, blank lines and lines starting with "#" skipped.
// Nothing, with `error` naming the line, when a line is not a device address.
std::optional<std::vector<fleet::HostAddress>> parseHostList(const QByteArray& text, std::string& error);

} // namespace kvx::ctl
