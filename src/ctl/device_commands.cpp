#include "device_commands.h"

#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/device_log_fetch.h"
#include "core/file_io.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "ctl/printable.h"
#include "core/vocabulary.h"
#include "core/bluetooth_settings.h"
#include "core/firmware_version.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kvx::ctl {
namespace {

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class StepProgress : public ProcedureProgress {
public:
    StepProgress(const ProgressSink& sink, const char* name)
        : m_sink(sink)
        , m_name(name) {}
    bool advance(int step, int total, const QString& group) override {
        if (m_sink)
            m_sink(m_name + " " + std::to_string(step) + "/" + std::to_string(total) + " " +
                   group.toStdString());
        return true;
    }
    void finish() override {}

private:
    const ProgressSink& m_sink;
    std::string m_name;
};

// The Information, Operation Mode and Bluetooth pages' queries, with the messages they show.
struct Query {
    const char* label;
    const char* command;
    int wait;
    const char* timeout;
    const char* failed;
};

const Query kVersion{"Firmware Version", "Ver\r\n", 1,
                     "Get Version is timeout. Check Lumeno-KVX and Try again.", nullptr};
const Query kMode{"Operation Mode", "Mode\r\n", 10,
                  "Get Basic Information is timeout. Check Lumeno-KVX and Try again.",
                  "Get Basic Information is Failed. Retry again."};
const Query kBluetooth[] = {
    {"Bluetooth Name", "BTName\r\n", 10,
     "Get Bluetooth Information is timeout. Check Lumeno-KVX and Try again.",
     "Get BTName is Failed. Try again."},
    {"MaxDT", "Maxdt\r\n", 0, "Get Maxdt is timeout. Check Lumeno-KVX and Try again.",
     "Get Maxdt is Failed. Try again."},
    {"Link Timeout", "Linkto\r\n", 0, "Get LinkTimeout is timeout. Check Lumeno-KVX and Try again.",
     "Get LinkTimeout is Failed. Try again."},
    {"Scan", "Scan\r\n", 0, "Get Scan is timeout. Check Lumeno-KVX and Try again.",
     "Get Scan is Failed. Try again."},
    {"Security", "Secu\r\n", 0, "Get Security is timeout. Check Lumeno-KVX and Try again.",
     "Get Security is Failed. Try again."},
    {"Pairable", "Pair\r\n", 0, "Get Pairable is timeout. Check Lumeno-KVX and Try again.",
     "Get Pairable is Failed. Try again."},
};

// The reply, or nothing after the query's message went to the prompter.
std::optional<std::string> ask(CliSession& session, CliPrompter& prompter, const Query& query) {
    const std::string reply = session.transact(query.command, query.wait);
    if (reply.empty()) {
        prompter.message(text(query.timeout));
        return std::nullopt;
    }
    if (query.failed && !startsWithOk(reply)) {
        prompter.message(text(query.failed));
        return std::nullopt;
    }
    return std::string(normalisedReply(reply));
}

std::string bluetoothValue(int index, const std::string& normalised) {
    switch (index) {
    case 1:
        return valueFrom(normalised, kMaxDtValuePosition);
    case 2:
        return linkTimeoutFrom(normalised) + " sec";
    case 3:
        if (const std::optional<ScanMode> scan =
                scanModeFromReport(valueFrom(normalised, kQueryValuePosition)))
            return std::string("discoverable ") + (scan->discoverable ? "on" : "off") + ", connectable " +
                   (scan->connectable ? "on" : "off");
        return "unknown (" + valueFrom(normalised, kQueryValuePosition) + ")";
    default:
        return valueFrom(normalised, kQueryValuePosition);
    }
}

bool info(CliSession& session, CliPrompter& prompter, DeviceOutcome& outcome) {
    const DeviceRecord& r = session.deviceRecord();
    const std::pair<const char*, const std::string*> identity[] = {
        {"Product Name", &r.productName},           {"Model Code", &r.modelCode},
        {"Product Serial Number", &r.serialNumber}, {"IP Address", &r.ipAddress},
        {"Control Port", &r.controlPort},           {"MAC Address", &r.macAddress},
        {"Bluetooth Address", &r.btAddress}};
    std::string& out = outcome.output;
    for (const auto& [label, value] : identity)
        out += std::string(label) + ": " + printable(*value) + "\n";

    outcome.step = "version";
    const std::optional<std::string> version = ask(session, prompter, kVersion);
    if (!version)
        return false;
    out += std::string(kVersion.label) + ": " +
           printable(containsOk(*version) ? versionTextFromReply(*version) : "1.0") + "\n";

    outcome.step = "mode";
    const std::optional<std::string> mode = ask(session, prompter, kMode);
    if (!mode)
        return false;
    const std::optional<int> index = modeFromNormalisedReply(*mode);
    if (!index) {
        prompter.message(text(kMode.failed));
        return false;
    }
    out += std::string(kMode.label) + ": " + std::string(modeTable()[std::size_t(*index)].caption) + "\n";

    outcome.step = "bluetooth";
    for (int i = 0; i < int(std::size(kBluetooth)); ++i) {
        const std::optional<std::string> reply = ask(session, prompter, kBluetooth[i]);
        if (!reply)
            return false;
        out += std::string(kBluetooth[i].label) + ": " + printable(bluetoothValue(i, *reply)) + "\n";
    }
    return true;
}

bool backup(CliSession& session, CliPrompter& prompter, const QString& path, const ProgressSink& progress) {
    prompter.file = path;
    StepProgress steps(progress, "backup");
    return ConfigBackup(session, prompter, steps).run() == ConfigBackup::Result::Completed;
}

bool restore(CliSession& session, CliPrompter& prompter, const QString& path, const ProgressSink& progress) {
    prompter.file = path;
    StepProgress steps(progress, "restore");
    return ConfigRestore(session, prompter, steps).run() == ConfigRestore::Result::Completed;
}

bool log(CliSession& session, CliPrompter& prompter, const QString& target, DeviceOutcome& outcome) {
    QTemporaryDir folder;
    DeviceLogFetch fetch(session, prompter, folder.path());
    if (fetch.run() != DeviceLogFetch::Result::Shown)
        return false;
    const std::string text = readAll(fetch.logPath());
    if (target.isEmpty()) {
        outcome.output = printableLines(text);
        return true;
    }
    if (QString error; !replaceFile(target, text, error)) {
        prompter.message(QStringLiteral("The file cannot be written: ") + error);
        return false;
    }
    return true;
}

bool diff(CliSession& session, CliPrompter& prompter, const QString& file, const ProgressSink& progress,
          DeviceOutcome& outcome) {
    QTemporaryDir folder;
    const QString device = folder.filePath(QStringLiteral("device.kcf"));
    if (!backup(session, prompter, device, progress))
        return false;
    for (const std::string& line : configurationDifferences(device, file))
        outcome.output += line + "\n";
    outcome.different = !outcome.output.empty();
    return true;
}

bool send(CliSession& session, CliPrompter& prompter, std::string command, int wait, DeviceOutcome& outcome) {
    if (!command.ends_with("\r\n"))
        command += "\r\n";
    const std::string reply = session.transact(command, wait);
    if (reply.empty()) {
        prompter.message(QStringLiteral("No reply within the wait."));
        return false;
    }
    outcome.output = printableLines(reply);
    return true;
}

const char* commandName(Command command) {
    switch (command) {
    case Command::Discover:
        return "discover";
    case Command::Info:
        return "info";
    case Command::Backup:
        return "backup";
    case Command::Restore:
        return "restore";
    case Command::Log:
        return "log";
    case Command::Diff:
        return "diff";
    case Command::Send:
        return "send";
    }
    return "?";
}

} // namespace

QString fileInFolder(const QString& folder, const HostAddress& host, const char* extension) {
    QString name = QString::fromStdString(host.label());
    name.replace(u':', u'_');
    return QDir(folder).filePath(name + u'.' + QLatin1String(extension));
}

std::vector<std::string> configurationDifferences(const QString& devicePath, const QString& filePath) {
    QString error;
    const ProfileFile device = ProfileFile::fromFile(devicePath, error).value_or(ProfileFile());
    const ProfileFile file = ProfileFile::fromFile(filePath, error).value_or(ProfileFile());
    std::vector<std::pair<std::string, std::string>> settings;
    const auto collect = [&settings](const ProfileFile& profile) {
        for (const std::string& section : profile.sections())
            for (const std::string& key : profile.keys(section))
                if (std::find(settings.begin(), settings.end(), std::pair{section, key}) == settings.end())
                    settings.emplace_back(section, key);
    };
    collect(device);
    collect(file);
    // Compared as a restore reads them: the line's value without the blanks at its ends.
    std::vector<std::string> out;
    for (const auto& [section, key] : settings) {
        const std::string mine = device.read(section, key);
        const std::string theirs = file.read(section, key);
        if (mine != theirs)
            out.push_back(printable(section) + " " + printable(key) + ": device \"" + printable(mine) +
                          "\", file \"" + printable(theirs) + "\"");
    }
    return out;
}

DeviceOutcome runOnDevice(const CommandSettings& settings, const HostAddress& host,
                          const ProgressSink& progress, Transcript& transcript) {
    DeviceOutcome outcome;
    outcome.host = host.label();
    const QString file =
        settings.fileIsFolder
            ? fileInFolder(settings.file, host, settings.command == Command::Log ? "txt" : "kcf")
            : settings.file;
    // An output that cannot be created is known before the device is contacted at all.
    if ((settings.command == Command::Backup || settings.command == Command::Log) && !file.isEmpty()) {
        QString error;
        if (NewFileBeside probe(file); !probe.create(error)) {
            outcome.step = "file";
            outcome.messages = {
                QCoreApplication::translate("ConfigBackup", "The file cannot be written: %1").arg(error)};
            return outcome;
        }
    }
    CliPrompter prompter;
    CliSession session(settings.connect, prompter, transcript);
    if (progress)
        progress("connecting");
    if (!session.open(host, settings.command == Command::Info, outcome.step)) {
        outcome.messages = prompter.messages;
        return outcome;
    }
    outcome.step = commandName(settings.command);
    if (progress)
        progress(outcome.step);
    switch (settings.command) {
    case Command::Discover:
        break;
    case Command::Info:
        outcome.ok = info(session, prompter, outcome);
        break;
    case Command::Backup:
        outcome.ok = backup(session, prompter, file, progress);
        break;
    case Command::Restore:
        outcome.ok = restore(session, prompter, file, progress);
        break;
    case Command::Log:
        outcome.ok = log(session, prompter, file, outcome);
        break;
    case Command::Diff:
        outcome.ok = diff(session, prompter, file, progress, outcome);
        break;
    case Command::Send:
        outcome.ok = send(session, prompter, settings.rawCommand, settings.wait, outcome);
        break;
    }
    if (outcome.ok)
        outcome.step = commandName(settings.command);
    outcome.messages = prompter.messages;
    return outcome;
}

} // namespace kvx::ctl
