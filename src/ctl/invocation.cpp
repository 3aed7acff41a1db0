#include "invocation.h"

#include "core/discovery_targets.h"
#include "core/file_io.h"
#include "core/profile_file.h"
#include "core/qt_text.h"
#include "fleet/inventory.h"
#include "fleet/printable.h"
#include "platform/files.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <kvx_version.h>
#include <map>

namespace kvx::ctl {

using namespace kvx::fleet;
namespace {

struct UsageError {
    std::string text;
};

struct CommandInfo {
    Command command;
    const char* name;
    const char* positional; // the usage of the positional arguments
    const char* summary;
};

const CommandInfo kCommands[] = {
    {Command::Discover, "discover", "", "Finds devices with the discovery broadcast and lists them."},
    {Command::Info, "info", "HOST[:PORT]...",
     "Identity, firmware version, operation mode, Bluetooth settings and live links of each device."},
    {Command::Backup, "backup", "HOST[:PORT]... FILE.kcf",
     "Writes every setting of the device into FILE.kcf, as the Back up button does, after comment lines "
     "naming the device; a folder as FILE receives one HOST_PORT.kcf per device, and \"-\" is the standard "
     "output."},
    {Command::Restore, "restore", "HOST[:PORT]... FILE.kcf",
     "Replays FILE.kcf to each device, as the Restore button does."},
    {Command::Log, "log", "HOST[:PORT]... [FILE]",
     "Fetches the device log into FILE, or prints it; with several devices FILE names a folder that receives "
     "one HOST_PORT.txt each."},
    {Command::Diff, "diff", "HOST[:PORT]... FILE.kcf",
     "Reads each device as a backup does and prints every setting in which it differs from FILE.kcf."},
    {Command::Send, "send", "HOST[:PORT] COMMAND", "Sends one command line and prints the reply."},
    {Command::Apply, "apply", "FILE.kcf HOST[:PORT]...",
     "Reads each device, sends only the settings in which it differs from FILE.kcf and reads it again; "
     "a device that already holds the file is not written to."},
    {Command::Metrics, "metrics", "HOST[:PORT]...",
     "Reads each device's state, mode, identity and live links as Prometheus metrics."},
};

const char* const kExitText =
    "Exit status: 0 when every device did what was asked (diff: equals the file), 1 when "
    "a device differs from the file (apply --check: would change), 2 when a device failed (send: the "
    "device refused the command; apply: still differs after it; discover: no device answered), 64 for a "
    "wrong command line.";

// The environment's defaults for the login options, which the command line overrides.
const char* const kUserVariable = "KVX100CTL_USER";
const char* const kPasswordFileVariable = "KVX100CTL_PASSWORD_FILE";

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

std::string overview() {
    std::string text = "Usage: kvx100ctl COMMAND [options] ...\n\nCommands:\n";
    for (const CommandInfo& c : kCommands)
        text += "  " + std::string(c.name) + std::string(10 - std::strlen(c.name), ' ') + c.summary + "\n";
    text += "\nDevices come from the command line, from --hosts FILE and from --inventory FILE; see the "
            "README for the inventory's form.\n";
    text += "\n'kvx100ctl COMMAND --help' shows a command's options; 'kvx100ctl --version' the version.\n" +
            std::string(kExitText) + "\n";
    // Last, as help2man takes everything after the heading into the manual's ENVIRONMENT section.
    text += "\nEnvironment:\n  " + std::string(kUserVariable) +
            "           the user ID to log in with when --user is not given\n  " + kPasswordFileVariable +
            "  the password file when --password-file is not given\n";
    return text;
}

QString option(const char* name) {
    return QString::fromLatin1(name);
}

unsigned portOption(const QCommandLineParser& parser, const char* name, unsigned fallback) {
    if (!parser.isSet(option(name)))
        return fallback;
    bool ok = false;
    const unsigned port = parser.value(option(name)).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        throw UsageError{std::string("--") + name + " needs a port number"};
    return port;
}

// Every device once, so that no two connections ever write the same file; the repeats are told.
void keepFirstOfEach(Invocation& run) {
    // Host names are case-insensitive, and so are the file names of some file systems.
    const auto key = [](const Device& device) {
        return toStd(fromStd(device.label()).toLower());
    };
    std::map<std::string, int> times;
    std::vector<Device> once;
    for (Device& device : run.devices)
        if (times[key(device)]++ == 0)
            once.push_back(std::move(device));
    for (const Device& device : once) {
        const int n = times[key(device)];
        if (n > 1)
            run.repeated.push_back(device.label() + " is listed " +
                                   (n == 2 ? std::string("twice") : std::to_string(n) + " times") +
                                   "; worked on once");
    }
    run.devices = std::move(once);
}

Invocation parse(const CommandInfo& info, const QStringList& arguments,
                 const std::function<std::optional<std::string>()>& askPassword, std::string& help) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(info.summary));
    parser.addHelpOption();
    // Named by the synopsis itself, so that no placeholder word stands in the help or the manual.
    if (*info.positional != '\0')
        parser.addPositionalArgument(QString::fromLatin1(info.positional),
                                     option("HOST is a dotted IPv4 address or a host name; without PORT the "
                                            "device's discovery answer gives it."));
    if (info.command != Command::Metrics)
        parser.addOption(
            {option("json"), option(info.command == Command::Discover || info.command == Command::Send
                                        ? "Report in JSON."
                                        : "Report in JSON: an array of one object per device; the totals go "
                                          "to the error stream.")});
    parser.addOption(
        {option("discovery-port"), option("The discovery port (default 9097)."), option("PORT")});
    // What --timeout bounds differs by command; each command's help says it for that command.
    parser.addOption(
        {option("timeout"),
         info.command == Command::Discover
             ? option("Seconds the search waits for answers, from 0.001 to 3600 (default 1).")
             : option("Seconds each TCP connect may take, from 0.001 to 3600 (default 10); every "
                      "command after it is bounded by its own wait plus 2 seconds."),
         option("S")});
    if (info.command == Command::Discover) {
        parser.addOption({option("target"),
                          option("Where the search goes (default 255.255.255.255, which also searches by "
                                 "the broadcast address of every interface)."),
                          option("ADDR")});
        parser.addOption({option("interface"),
                          option("Searches by the broadcast address of interface NAME only (repeatable)."),
                          option("NAME")});
    } else {
        parser.addOption({option("user"),
                          option("The user ID to log in with, for the devices the inventory gives none "
                                 "(default: $KVX100CTL_USER)."),
                          option("USER")});
        parser.addOption({option("password-file"),
                          option("Reads the password from the first line of FILE (a regular file of at most "
                                 "4 KiB, yours, that nobody else may read or write; default: "
                                 "$KVX100CTL_PASSWORD_FILE); without either the password is asked on the "
                                 "terminal."),
                          option("FILE")});
        parser.addOption({option("verbose"), option("Shows every command and reply on the error stream.")});
    }
    if (info.command == Command::Send)
        parser.addOption(
            {option("wait"),
             option("Whole seconds the reply may take, from 0 to 3600 (default 10; 0 waits at most 30)."),
             option("S")});
    else if (info.command != Command::Discover) {
        parser.addOption({option("hosts"),
                          option("Reads the devices from FILE (a regular file of at most 1 MiB), one "
                                 "HOST[:PORT] a line; a device listed twice is worked on once."),
                          option("FILE")});
        parser.addOption({option("inventory"),
                          option("Reads the devices from an inventory FILE (at most 1 MiB): groups, names, "
                                 "credentials and the variables of ${...} in a configuration file."),
                          option("FILE")});
        parser.addOption({option("group"),
                          option("Works on the inventory's devices of group NAME only (repeatable)."),
                          option("NAME")});
        parser.addOption({option("parallel"),
                          option("Works on at most N devices at once, from 1 to 256 (default 8)."),
                          option("N")});
        if (info.command != Command::Metrics)
            parser.addOption({option("csv"), option("Report in CSV, after a line of column names; the totals "
                                                    "go to the error stream.")});
    }
    if (info.command == Command::Apply) {
        parser.addOption({option("check"), option("Prints what would change and changes nothing.")});
        parser.addOption({option("replace"),
                          option("Also releases bound devices and deletes servers and routes that the file "
                                 "does not hold.")});
    }
    if (info.command == Command::Metrics)
        parser.addOption({option("textfile"),
                          option("Writes the metrics into DIR/kvx100ctl.prom, replaced whole, for a textfile "
                                 "collector, instead of printing them."),
                          option("DIR")});

    QStringList withoutCommand = arguments;
    withoutCommand.removeAt(1);
    if (!parser.parse(withoutCommand))
        throw UsageError{printable(toStd(parser.errorText()))};
    if (parser.isSet(option("help"))) {
        help = "Usage: kvx100ctl " + std::string(info.name) + " [options] " + info.positional + "\n" +
               toStd(parser.helpText().section(u'\n', 1)) + "\n" + kExitText + "\n";
        return {};
    }

    Invocation run;
    run.settings.command = info.command;
    if (info.command != Command::Metrics && parser.isSet(option("json")))
        run.format = Invocation::Format::Json;
    else if (info.command != Command::Discover && info.command != Command::Send &&
             info.command != Command::Metrics && parser.isSet(option("csv")))
        run.format = Invocation::Format::Csv;
    run.settings.connect.discovery.port =
        std::uint16_t(portOption(parser, "discovery-port", run.settings.connect.discovery.port));
    if (parser.isSet(option("timeout"))) {
        bool ok = false;
        const double seconds = parser.value(option("timeout")).toDouble(&ok);
        // NaN passes every comparison below, so finiteness comes first.
        if (!ok || !std::isfinite(seconds) || seconds < kMinTimeoutSeconds || seconds > kMaxTimeoutSeconds)
            throw UsageError{"--timeout needs seconds from 0.001 to 3600"};
        run.timeoutSeconds = seconds;
        run.settings.connect.timing.connectBound =
            std::chrono::milliseconds(qint64(std::ceil(seconds * 1000)));
    }

    QStringList positional = parser.positionalArguments();
    if (info.command == Command::Discover) {
        if (!positional.isEmpty())
            throw UsageError{"discover takes no arguments"};
        if (parser.isSet(option("target")))
            run.target = toStd(parser.value(option("target")));
        if (parser.isSet(option("interface"))) {
            if (parser.isSet(option("target")))
                throw UsageError{"--interface and --target exclude each other"};
            const std::vector<InterfaceAddress> present = readInterfaceAddresses();
            for (const QString& name : parser.values(option("interface"))) {
                const std::string text = toStd(name);
                if (std::none_of(present.begin(), present.end(),
                                 [&](const InterfaceAddress& i) { return i.name == text; }))
                    throw UsageError{"no interface named " + printable(text)};
                if (directedBroadcasts(present, {text}).empty())
                    throw UsageError{"interface " + printable(text) +
                                     " is down or has no IPv4 broadcast address"};
                run.interfaces.push_back(text);
            }
        }
        return run;
    }

    run.verbose = parser.isSet(option("verbose"));
    if (info.command == Command::Send) {
        if (positional.size() != 2)
            throw UsageError{"send takes one device and one command"};
        const std::optional<HostAddress> host = parseHostAddress(toStd(positional[0]));
        if (!host)
            throw UsageError{"not a device address: " + printable(toStd(positional[0]))};
        run.devices = {Device{*host, {}, {}, {}, {}, {}}};
        run.settings.rawCommand = toStd(positional[1]);
        if (parser.isSet(option("wait"))) {
            bool ok = false;
            run.settings.wait = parser.value(option("wait")).toInt(&ok);
            if (!ok || run.settings.wait < 0 || run.settings.wait > kMaxWaitSeconds)
                throw UsageError{"--wait needs whole seconds from 0 to 3600"};
        }
    } else {
        if (parser.isSet(option("parallel"))) {
            bool ok = false;
            run.parallel = parser.value(option("parallel")).toInt(&ok);
            if (!ok || run.parallel < 1 || run.parallel > kMaxParallel)
                throw UsageError{"--parallel needs a number from 1 to 256"};
        }
        run.settings.check = info.command == Command::Apply && parser.isSet(option("check"));
        run.settings.replace = info.command == Command::Apply && parser.isSet(option("replace"));
        // A file name may look like a host name, so the file is found by position: first for apply,
        // else the last argument where one is needed; for the log, whose file is optional, the last of
        // several arguments unless it is written as an address (dotted, or with a port).
        const bool needsFile = info.command == Command::Backup || info.command == Command::Restore ||
                               info.command == Command::Diff || info.command == Command::Apply;
        const bool listed = parser.isSet(option("hosts")) || parser.isSet(option("inventory"));
        const auto writtenAsAddress = [](const QString& text) {
            const std::optional<HostAddress> host = parseHostAddress(toStd(text));
            return host && (host->port != 0 || host->isDotted());
        };
        const bool logFile = info.command == Command::Log && !positional.isEmpty() &&
                             (positional.size() > 1 || listed) && !writtenAsAddress(positional.back());
        if (info.command == Command::Apply && !positional.isEmpty())
            run.settings.file = positional.takeFirst();
        else if ((needsFile && !positional.isEmpty()) || logFile)
            run.settings.file = positional.takeLast();
        // One argument and no list: the device is there and the file is what is missing.
        if (needsFile && (run.settings.file.isEmpty() ||
                          (positional.isEmpty() && !listed && info.command != Command::Apply)))
            throw UsageError{std::string(info.name) + " needs a file: " + info.positional};
        if (parser.isSet(option("group")) && !parser.isSet(option("inventory")))
            throw UsageError{"--group selects from an inventory: give --inventory"};
        if (parser.isSet(option("inventory"))) {
            std::string error;
            std::optional<std::vector<Device>> devices = devicesFromInventory(
                parser.value(option("inventory")), parser.values(option("group")), error);
            if (!devices)
                throw UsageError{error};
            run.devices = std::move(*devices);
        }
        if (parser.isSet(option("hosts"))) {
            const QString path = parser.value(option("hosts"));
            QString error;
            const std::optional<QByteArray> text = readRegularFile(path, kMaxHostListBytes, error);
            if (!text)
                throw UsageError{"cannot read the host list " + toStd(error)};
            std::string wrongLine;
            std::optional<std::vector<HostAddress>> hosts = parseHostList(*text, wrongLine);
            if (!hosts)
                throw UsageError{"in the host list " + toStd(path) + ", " + wrongLine};
            for (const HostAddress& host : *hosts)
                run.devices.push_back(Device{host, {}, {}, {}, {{"host", host.host}}, {}});
        }
        for (const QString& text : positional) {
            const std::optional<HostAddress> host = parseHostAddress(toStd(text));
            if (!host)
                throw UsageError{"not a device address: " + printable(toStd(text))};
            run.devices.push_back(Device{*host, {}, {}, {}, {{"host", host->host}}, {}});
        }
        if (run.devices.empty())
            throw UsageError{"no device given"};
        // As listed: the file named for several devices is a folder even when some were repeats.
        const bool several = run.devices.size() > 1;
        keepFirstOfEach(run);
        if (info.command == Command::Restore || info.command == Command::Diff ||
            info.command == Command::Apply) {
            QString error;
            std::optional<ProfileFile> file = ProfileFile::fromFile(run.settings.file, error);
            if (!file)
                throw UsageError{"cannot read the configuration file " + toStd(error)};
            run.settings.configuration = std::move(*file);
        }
        if (info.command == Command::Backup && run.settings.file == QLatin1String("-") && several)
            throw UsageError{"only one device's backup goes to the standard output"};
        // A folder receives one file per device, even when an inventory's group holds just one.
        const bool folder = QFileInfo(run.settings.file).isDir();
        if ((info.command == Command::Backup || info.command == Command::Log) &&
            !run.settings.file.isEmpty() && (several || folder)) {
            if (!folder)
                throw UsageError{"with several devices " + toStd(run.settings.file) + " must be a folder"};
            run.settings.fileIsFolder = true;
        }
        if (info.command == Command::Metrics && parser.isSet(option("textfile"))) {
            run.settings.file = parser.value(option("textfile"));
            if (!QFileInfo(run.settings.file).isDir())
                throw UsageError{"--textfile needs a folder: " + printable(toStd(run.settings.file))};
            run.settings.fileIsFolder = true;
        }
    }

    // The command line's credentials serve the devices the inventory gives none; they are asked for only
    // when some device needs them.
    if (std::all_of(run.devices.begin(), run.devices.end(),
                    [](const Device& d) { return d.credentials.has_value(); }))
        return run;
    // An empty variable counts as none, as a shell's "VAR= command" means it.
    const auto optionOrEnvironment = [&](const char* name, const char* variable) {
        return parser.isSet(option(name)) ? parser.value(option(name)) : qEnvironmentVariable(variable);
    };
    const QString user = optionOrEnvironment("user", kUserVariable);
    if (user.isEmpty())
        throw UsageError{"--user (or " + std::string(kUserVariable) + ") is needed to log in"};
    run.settings.connect.credentials.user = toStd(user);
    if (const QString file = optionOrEnvironment("password-file", kPasswordFileVariable); !file.isEmpty()) {
        std::string error;
        std::optional<std::string> password = readPasswordFile(file, error);
        if (!password)
            throw UsageError{error};
        run.settings.connect.credentials.password = std::move(*password);
    } else {
        const std::optional<std::string> password = askPassword ? askPassword() : std::nullopt;
        if (!password)
            throw UsageError{"no password: give --password-file (or " + std::string(kPasswordFileVariable) +
                             "), or run on a terminal to be asked"};
        run.settings.connect.credentials.password = *password;
    }
    return run;
}

} // namespace

std::optional<std::vector<HostAddress>> parseHostList(const QByteArray& text, std::string& error) {
    std::vector<HostAddress> hosts;
    bool wrong = false;
    forEachListLine(text, "#", [&](std::string_view line, int number) {
        const std::optional<HostAddress> host = parseHostAddress(line);
        if (!host) {
            // Only the start of the line, escaped: it is shown on the terminal.
            constexpr std::size_t kShown = 64;
            error = "line " + std::to_string(number) +
                    ": not a device address: " + printable(line.substr(0, kShown)) +
                    (line.size() > kShown ? "..." : "");
            wrong = true;
            return false;
        }
        hosts.push_back(*host);
        return true;
    });
    if (wrong)
        return std::nullopt;
    return hosts;
}

ParsedCommandLine parseCommandLine(const QStringList& arguments,
                                   const std::function<std::optional<std::string>()>& askPassword) {
    using Kind = ParsedCommandLine::Kind;
    if (arguments.size() < 2)
        return {Kind::Usage, {}, overview()};
    if (arguments[1] == QLatin1String("--help") || arguments[1] == QLatin1String("-h"))
        return {Kind::Print, {}, overview()};
    if (arguments[1] == QLatin1String("--version"))
        return {Kind::Print, {}, "kvx100ctl " + std::string(kVersion) + "\n"};
    const CommandInfo* info = findCommand(arguments[1]);
    if (!info)
        return {
            Kind::Usage, {}, "kvx100ctl: no command " + printable(toStd(arguments[1])) + "\n" + overview()};
    try {
        std::string help;
        Invocation run = parse(*info, arguments, askPassword, help);
        if (!help.empty())
            return {Kind::Print, {}, help};
        return {Kind::Run, std::move(run), {}};
    } catch (const UsageError& error) {
        return {Kind::Usage, {}, "kvx100ctl " + std::string(info->name) + ": " + error.text + "\n"};
    }
}

} // namespace kvx::ctl
