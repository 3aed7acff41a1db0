#include "device_commands.h"

#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/device_link.h"
#include "core/device_log_fetch.h"
#include "core/file_io.h"
#include "core/firmware_version.h"
#include "core/page_queries.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "core/qt_text.h"
#include "core/vocabulary.h"
#include "ctl/printable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kvx::ctl {
namespace {

class StepProgress : public ProcedureProgress {
public:
    StepProgress(const ProgressSink& sink, const char* name)
        : m_sink(sink)
        , m_name(name) {}
    bool advance(int step, int total, const QString& group) override {
        if (m_sink)
            m_sink(m_name + " " + std::to_string(step) + "/" + std::to_string(total) + " " + toStd(group));
        return true;
    }
    void finish() override {}

private:
    const ProgressSink& m_sink;
    std::string m_name;
};

std::string onOff(bool on) {
    return on ? "on" : "off";
}

// A value the page would not take, as the device sent it.
std::string unknown(std::string_view value) {
    return "unknown (" + std::string(value) + ")";
}

// The Bluetooth page's settings: its queries, each value read from the normalised reply as the page
// reads it.
struct Setting {
    const char* label;
    const QueryStep& step;
    std::string (*value)(std::string_view normalised);
};

const Setting kBluetooth[] = {
    {"Bluetooth Name", kBtNameQuery,
     [](std::string_view r) {
         return valueFrom(r, kQueryValuePosition);
     }},
    {"MaxDT", kMaxDtQuery,
     [](std::string_view r) {
         return valueFrom(r, kMaxDtValuePosition);
     }},
    {"Link Timeout", kLinkTimeoutQuery,
     [](std::string_view r) {
         return linkTimeoutFrom(r) + " sec";
     }},
    {"Scan", kScanQuery,
     [](std::string_view r) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         if (const std::optional<ScanMode> scan = scanModeFromReport(value))
             return "discoverable " + onOff(scan->discoverable) + ", connectable " + onOff(scan->connectable);
         return unknown(value);
     }},
    {"Security", kSecurityQuery,
     [](std::string_view r) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         const std::optional<int> entry = securityEntryFromReport(value);
         return entry ? std::string(securityWord(*entry)) : unknown(value);
     }},
    {"Pairable", kPairableQuery,
     [](std::string_view r) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         const std::optional<bool> on = pairableFromReport(value);
         return on ? std::string(pairableWord(*on)) : unknown(value);
     }},
};

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
    const QueryOutcome version = runQuery(session, prompter, kVersionQuery);
    if (version.kind == QueryOutcome::Kind::Silent)
        return false;
    // A refused version query stands for 1.0, as on the Information page.
    out +=
        "Firmware Version: " + printable(version ? versionTextFromReply(version.normalised()) : "1.0") + "\n";

    outcome.step = "mode";
    const std::optional<int> mode = queryMode(session, prompter);
    if (!mode)
        return false;
    out += "Operation Mode: " + std::string(modeTable()[std::size_t(*mode)].caption) + "\n";

    outcome.step = "bluetooth";
    for (const Setting& setting : kBluetooth) {
        const QueryOutcome reply = runQuery(session, prompter, setting.step);
        if (!reply)
            return false;
        out += std::string(setting.label) + ": " + printable(setting.value(reply.normalised())) + "\n";
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
    // The fetch wrote one reply, which the transaction bounds.
    QString error;
    const std::optional<QByteArray> written =
        readRegularFile(fetch.logPath(), DeviceLink::kReplyLimit, error);
    if (!written) {
        prompter.message(QStringLiteral("The file cannot be read: ") + error);
        return false;
    }
    const std::string text(written->constData(), std::size_t(written->size()));
    if (target.isEmpty()) {
        outcome.output = printableLines(text);
        return true;
    }
    if (!replaceFile(target, text, error)) {
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
    QString name = fromStd(host.label());
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
