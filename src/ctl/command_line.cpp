#include "command_line.h"

#include "ctl/device_commands.h"
#include "device/discovery_socket.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <kvx_version.h>
#include <mutex>
#include <thread>

namespace kvx::ctl {
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
     "Identity, firmware version, operation mode and Bluetooth settings of each device."},
    {Command::Backup, "backup", "HOST[:PORT]... FILE.kcf",
     "Writes every setting of the device into FILE.kcf, as the Back up button does; with several devices "
     "FILE names a folder that receives one HOST_PORT.kcf each."},
    {Command::Restore, "restore", "HOST[:PORT]... FILE.kcf",
     "Replays FILE.kcf to each device, as the Restore button does."},
    {Command::Log, "log", "HOST[:PORT]... [FILE]",
     "Fetches the device log into FILE, or prints it; with several devices FILE names a folder that receives "
     "one HOST_PORT.txt each."},
    {Command::Diff, "diff", "HOST[:PORT]... FILE.kcf",
     "Reads each device as a backup does and prints every setting in which it differs from FILE.kcf."},
    {Command::Send, "send", "HOST[:PORT] COMMAND", "Sends one command line and prints the reply."},
};

const char* const kExitText =
    "Exit status: 0 when every device did what was asked (diff: equals the file), 1 when "
    "a device differs from the file, 2 when a device failed, 64 for a wrong command line.";

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
    return text +
           "\n'kvx100ctl COMMAND --help' shows a command's options; 'kvx100ctl --version' the version.\n" +
           kExitText + "\n";
}

// Everything the options of one command settle.
struct Invocation {
    CommandSettings settings;
    std::vector<HostAddress> hosts;
    int parallel = 8;
    enum class Format { Text, Json, Csv } format = Format::Text;
    bool verbose = false;
    // discover
    std::string target = "255.255.255.255";
    double timeoutSeconds = 1.0;
};

QString option(const char* name) {
    return QString::fromLatin1(name);
}

std::vector<HostAddress> hostsFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError{"cannot read the host list " + path.toStdString()};
    std::vector<HostAddress> hosts;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const std::optional<HostAddress> host = parseHostAddress(line.toStdString());
        if (!host)
            throw UsageError{"not a device address in " + path.toStdString() + ": " + line.toStdString()};
        hosts.push_back(*host);
    }
    return hosts;
}

std::string readPasswordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError{"cannot read the password file " + path.toStdString()};
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line.toStdString();
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

Invocation parse(const CommandInfo& info, const QStringList& arguments, Console& console, std::string& help) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(info.summary));
    parser.addHelpOption();
    parser.addPositionalArgument(option("arguments"), QString::fromLatin1(info.positional));
    parser.addOption({option("json"), option("Report in JSON.")});
    parser.addOption(
        {option("discovery-port"), option("The discovery port (default 9097)."), option("PORT")});
    parser.addOption({option("timeout"),
                      option("Seconds to wait: for answers (discover, default 1) or for each "
                             "connect (default 10)."),
                      option("S")});
    if (info.command == Command::Discover) {
        parser.addOption(
            {option("target"), option("Where the search goes (default 255.255.255.255)."), option("ADDR")});
    } else {
        parser.addOption({option("user"), option("The user ID to log in with."), option("USER")});
        parser.addOption({option("password-file"),
                          option("Reads the password from the first line of FILE; without it the password is "
                                 "asked on the terminal."),
                          option("FILE")});
        parser.addOption({option("verbose"), option("Shows every command and reply on the error stream.")});
    }
    if (info.command == Command::Send)
        parser.addOption({option("wait"), option("Seconds the reply may take (default 10)."), option("S")});
    else if (info.command != Command::Discover) {
        parser.addOption({option("hosts"), option("Reads the devices from FILE, one HOST[:PORT] a line."),
                          option("FILE")});
        parser.addOption(
            {option("parallel"), option("Works on at most N devices at once (default 8)."), option("N")});
        parser.addOption({option("csv"), option("Report in CSV.")});
    }

    QStringList withoutCommand = arguments;
    withoutCommand.removeAt(1);
    if (!parser.parse(withoutCommand))
        throw UsageError{parser.errorText().toStdString()};
    if (parser.isSet(option("help"))) {
        help = "Usage: kvx100ctl " + std::string(info.name) + " [options] " + info.positional + "\n" +
               parser.helpText().section(u'\n', 1).toStdString() + "\n" + kExitText + "\n";
        return {};
    }

    Invocation run;
    run.settings.command = info.command;
    if (parser.isSet(option("json")))
        run.format = Invocation::Format::Json;
    else if (info.command != Command::Discover && info.command != Command::Send &&
             parser.isSet(option("csv")))
        run.format = Invocation::Format::Csv;
    run.settings.connect.discovery.port =
        std::uint16_t(portOption(parser, "discovery-port", run.settings.connect.discovery.port));
    if (parser.isSet(option("timeout"))) {
        bool ok = false;
        run.timeoutSeconds = parser.value(option("timeout")).toDouble(&ok);
        if (!ok || run.timeoutSeconds <= 0)
            throw UsageError{"--timeout needs a number of seconds"};
        run.settings.connect.timing.connectBound =
            std::chrono::milliseconds(qint64(run.timeoutSeconds * 1000));
    }

    QStringList positional = parser.positionalArguments();
    if (info.command == Command::Discover) {
        if (!positional.isEmpty())
            throw UsageError{"discover takes no arguments"};
        if (parser.isSet(option("target")))
            run.target = parser.value(option("target")).toStdString();
        return run;
    }

    run.verbose = parser.isSet(option("verbose"));
    if (!parser.isSet(option("user")))
        throw UsageError{"--user is needed to log in"};
    run.settings.connect.credentials.user = parser.value(option("user")).toStdString();

    if (info.command == Command::Send) {
        if (positional.size() != 2)
            throw UsageError{"send takes one device and one command"};
        const std::optional<HostAddress> host = parseHostAddress(positional[0].toStdString());
        if (!host)
            throw UsageError{"not a device address: " + positional[0].toStdString()};
        run.hosts = {*host};
        run.settings.rawCommand = positional[1].toStdString();
        if (parser.isSet(option("wait"))) {
            bool ok = false;
            run.settings.wait = parser.value(option("wait")).toInt(&ok);
            if (!ok || run.settings.wait < 0)
                throw UsageError{"--wait needs a whole number of seconds"};
        }
    } else {
        if (parser.isSet(option("parallel"))) {
            bool ok = false;
            run.parallel = parser.value(option("parallel")).toInt(&ok);
            if (!ok || run.parallel < 1)
                throw UsageError{"--parallel needs a number of at least 1"};
        }
        // A file name may look like a host name, so the file is found by position: always the last
        // argument where one is needed; for the log, whose file is optional, the last of several
        // arguments unless it is written as an address (dotted, or with a port).
        const bool needsFile = info.command == Command::Backup || info.command == Command::Restore ||
                               info.command == Command::Diff;
        const auto writtenAsAddress = [](const QString& text) {
            const std::optional<HostAddress> host = parseHostAddress(text.toStdString());
            return host && (host->port != 0 || host->isDotted());
        };
        const bool logFile = info.command == Command::Log && !positional.isEmpty() &&
                             (positional.size() > 1 || parser.isSet(option("hosts"))) &&
                             !writtenAsAddress(positional.back());
        if ((needsFile && !positional.isEmpty()) || logFile)
            run.settings.file = positional.takeLast();
        if (needsFile && run.settings.file.isEmpty())
            throw UsageError{std::string(info.name) + " needs a file"};
        if (parser.isSet(option("hosts")))
            run.hosts = hostsFromFile(parser.value(option("hosts")));
        for (const QString& text : positional) {
            const std::optional<HostAddress> host = parseHostAddress(text.toStdString());
            if (!host)
                throw UsageError{"not a device address: " + text.toStdString()};
            run.hosts.push_back(*host);
        }
        if (run.hosts.empty())
            throw UsageError{"no device given"};
        const bool several = run.hosts.size() > 1;
        if ((info.command == Command::Restore || info.command == Command::Diff) &&
            !QFile::exists(run.settings.file))
            throw UsageError{"no such file: " + run.settings.file.toStdString()};
        if (several && (info.command == Command::Backup || info.command == Command::Log) &&
            !run.settings.file.isEmpty()) {
            if (!QFileInfo(run.settings.file).isDir())
                throw UsageError{"with several devices " + run.settings.file.toStdString() +
                                 " must be a folder"};
            run.settings.fileIsFolder = true;
        }
    }

    if (parser.isSet(option("password-file"))) {
        run.settings.connect.credentials.password = readPasswordFile(parser.value(option("password-file")));
    } else {
        const std::optional<std::string> password =
            console.askPassword ? console.askPassword() : std::nullopt;
        if (!password)
            throw UsageError{"no password: give --password-file, or run on a terminal to be asked"};
        run.settings.connect.credentials.password = *password;
    }
    return run;
}

// One line per device on the terminal, redrawn in place as the devices move on.
class ProgressBoard {
public:
    ProgressBoard(Console& console, const std::vector<HostAddress>& hosts)
        : m_console(console)
        , m_lines(hosts.size()) {
        if (!m_console.terminal)
            return;
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            m_lines[i] = hosts[i].label() + ": waiting";
            m_console.err << m_lines[i] << "\n";
        }
        m_console.err.flush();
    }
    void set(std::size_t index, const std::string& text, const std::string& host) {
        if (!m_console.terminal)
            return;
        const std::lock_guard lock(m_mutex);
        m_lines[index] = host + ": " + text;
        m_console.err << "\x1b[" << m_lines.size() << "A";
        for (const std::string& line : m_lines)
            m_console.err << "\r\x1b[K" << line << "\n";
        m_console.err.flush();
    }

private:
    Console& m_console;
    std::vector<std::string> m_lines;
    std::mutex m_mutex;
};

std::vector<DeviceOutcome> runAll(const Invocation& run, Console& console) {
    std::vector<DeviceOutcome> outcomes(run.hosts.size());
    ProgressBoard board(console, run.hosts);
    std::mutex echo;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        StreamTranscript transcript(run.verbose
                                        ? std::function<void(std::string_view)>([&](std::string_view text) {
                                              const std::lock_guard lock(echo);
                                              console.err << text;
                                          })
                                        : std::function<void(std::string_view)>());
        for (std::size_t i = next++; i < run.hosts.size(); i = next++) {
            const std::string label = run.hosts[i].label();
            outcomes[i] = runOnDevice(
                run.settings, run.hosts[i], [&, i](const std::string& text) { board.set(i, text, label); },
                transcript);
            board.set(i, outcomes[i].ok ? "done" : "FAILED at " + outcomes[i].step, label);
        }
    };
    const std::size_t workers = std::min<std::size_t>(std::size_t(run.parallel), run.hosts.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < workers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    return outcomes;
}

std::string joined(const QStringList& messages) {
    return messages.join(QStringLiteral(" / "))
        .replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .toStdString();
}

std::string csvField(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void report(const Invocation& run, const std::vector<DeviceOutcome>& outcomes, Console& console) {
    switch (run.format) {
    case Invocation::Format::Json: {
        QJsonArray devices;
        for (const DeviceOutcome& o : outcomes) {
            QJsonObject device{{QStringLiteral("host"), QString::fromStdString(o.host)},
                               {QStringLiteral("ok"), o.ok},
                               {QStringLiteral("step"), QString::fromStdString(o.step)},
                               {QStringLiteral("messages"), QJsonArray::fromStringList(o.messages)}};
            if (!o.output.empty())
                device.insert(QStringLiteral("output"), QString::fromStdString(o.output));
            if (run.settings.command == Command::Diff)
                device.insert(QStringLiteral("different"), o.different);
            devices.append(device);
        }
        console.out << QJsonDocument(devices).toJson().toStdString();
        return;
    }
    case Invocation::Format::Csv:
        console.out << "host,status,step,message\n";
        for (const DeviceOutcome& o : outcomes)
            console.out << csvField(o.host) << "," << (o.ok ? (o.different ? "different" : "ok") : "failed")
                        << "," << csvField(o.step) << "," << csvField(joined(o.messages)) << "\n";
        return;
    case Invocation::Format::Text:
        break;
    }
    const bool several = outcomes.size() > 1;
    for (const DeviceOutcome& o : outcomes) {
        if (several && !o.output.empty())
            console.out << "== " << o.host << "\n";
        console.out << o.output;
        if (!o.ok)
            console.err << o.host << ": " << o.step << ": " << joined(o.messages) << "\n";
    }
    if (several) {
        console.out << "\n";
        for (const DeviceOutcome& o : outcomes)
            console.out << o.host << "  "
                        << (o.ok ? (o.different ? "different" : "ok")
                                 : "FAILED at " + o.step + ": " + joined(o.messages))
                        << "\n";
    }
}

int discover(const Invocation& run, Console& console) {
    DiscoverySocket socket({run.target, run.settings.connect.discovery.port});
    if (!socket.open() || !socket.allowBroadcast() || !socket.sendBroadcast()) {
        console.err << "discover: Search Error. Check Lumeno-KVX and Try again.\n";
        return kExitFailed;
    }
    std::vector<DeviceRecord> found;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(qint64(run.timeoutSeconds * 1000));
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now()) {
        std::string datagram;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        if (socket.receive(left, datagram) != DiscoverySocket::Receive::Datagram)
            continue;
        const std::optional<DeviceRecord> record = parseDiscoveryReply(datagram);
        if (record && std::find(found.begin(), found.end(), *record) == found.end())
            found.push_back(*record);
    }
    if (run.format == Invocation::Format::Json) {
        QJsonArray devices;
        for (const DeviceRecord& r : found)
            devices.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(r.btName)},
                                       {QStringLiteral("ip"), QString::fromStdString(r.ipAddress)},
                                       {QStringLiteral("port"), QString::fromStdString(r.controlPort)},
                                       {QStringLiteral("mac"), QString::fromStdString(r.macAddress)},
                                       {QStringLiteral("bluetooth"), QString::fromStdString(r.btAddress)},
                                       {QStringLiteral("model"), QString::fromStdString(r.modelCode)},
                                       {QStringLiteral("serial"), QString::fromStdString(r.serialNumber)},
                                       {QStringLiteral("product"), QString::fromStdString(r.productName)}});
        console.out << QJsonDocument(devices).toJson().toStdString();
    } else {
        for (const DeviceRecord& r : found)
            console.out << r.btName << "\t" << r.ipAddress << "\t" << r.controlPort << "\t" << r.macAddress
                        << "\t" << r.btAddress << "\t" << r.modelCode << "\t" << r.serialNumber << "\t"
                        << r.productName << "\n";
    }
    return found.empty() ? kExitFailed : kExitOk;
}

} // namespace

int runCommandLine(const QStringList& arguments, Console& console) {
    if (arguments.size() < 2 || arguments[1] == QLatin1String("--help") ||
        arguments[1] == QLatin1String("-h")) {
        (arguments.size() < 2 ? console.err : console.out) << overview();
        return arguments.size() < 2 ? kExitUsage : kExitOk;
    }
    if (arguments[1] == QLatin1String("--version")) {
        console.out << "kvx100ctl " << kVersion << "\n";
        return kExitOk;
    }
    const CommandInfo* info = findCommand(arguments[1]);
    if (!info) {
        console.err << "kvx100ctl: no command " << arguments[1].toStdString() << "\n" << overview();
        return kExitUsage;
    }
    Invocation run;
    std::string help;
    try {
        run = parse(*info, arguments, console, help);
    } catch (const UsageError& error) {
        console.err << "kvx100ctl " << info->name << ": " << error.text << "\n";
        return kExitUsage;
    }
    if (!help.empty()) {
        console.out << help;
        return kExitOk;
    }
    if (info->command == Command::Discover)
        return discover(run, console);

    const std::vector<DeviceOutcome> outcomes = runAll(run, console);
    report(run, outcomes, console);
    if (std::any_of(outcomes.begin(), outcomes.end(), [](const DeviceOutcome& o) { return !o.ok; }))
        return kExitFailed;
    if (std::any_of(outcomes.begin(), outcomes.end(), [](const DeviceOutcome& o) { return o.different; }))
        return kExitDifferent;
    return kExitOk;
}

} // namespace kvx::ctl
