#include "device_commands.h"

#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/config_backup.h"
#include "core/config_queries.h"
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
#include "ctl/convergence.h"
#include "ctl/inventory.h"
#include "ctl/metrics.h"
#include "ctl/printable.h"

#include <QDateTime>
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

    // One reading: a reply nobody asked for would shift every value after it.
    Reading reading(session);
    outcome.step = "version";
    const std::optional<std::string> firmware = firmwareVersion(session, prompter);
    if (!firmware)
        return false;
    out += "Firmware Version: " + printable(*firmware) + "\n";

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
    return reading.finish(prompter, std::end(kBluetooth)[-1].step.command);
}

// Into the file created before the device was contacted.
bool backup(CliSession& session, CliPrompter& prompter, NewFileBeside& file, const QString& path,
            const ProgressSink& progress, std::string header) {
    StepProgress steps(progress, "backup");
    ConfigBackup procedure(session, prompter, steps);
    procedure.setHeader(std::move(header));
    return procedure.write(file, path) == ConfigBackup::Result::Completed;
}

// The settings of the device as a backup reads them, kept in memory.
std::optional<ProfileFile> readDevice(CliSession& session, CliPrompter& prompter,
                                      const ProgressSink& progress) {
    StepProgress steps(progress, "read");
    ProfileFile device;
    if (ConfigBackup(session, prompter, steps).read(device) != ConfigBackup::Result::Completed)
        return std::nullopt;
    return device;
}

// Comment lines naming the device and the time, so that a folder of backups kept under version control
// tells which unit each file came from and when; readers pass over them.
std::string identityHeader(CliSession& session) {
    const DeviceRecord& r = session.deviceRecord();
    // Asked quietly: the identity is a comment, and a device that does not tell its version is still
    // backed up.
    const QueryOutcome version = askQuery(session, kVersionQuery);
    const std::string firmware = version ? versionTextFromReply(version.normalised()) : std::string();
    const auto line = [](const char* label, const std::string& value) {
        // Bounded and escaped: a device's text must not end the comment or add a section.
        constexpr std::size_t kLongest = 64;
        return "; " + std::string(label) + ": " +
               (value.empty() ? std::string("unknown") : printable(value.substr(0, kLongest))) + "\r\n";
    };
    return "; Lumeno-KVX100 configuration backup\r\n" + line("Name", r.btName) + line("Model", r.modelCode) +
           line("Serial", r.serialNumber) + line("MAC", r.macAddress) + line("Firmware", firmware) +
           line("Time", toStd(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
}

bool restore(CliSession& session, CliPrompter& prompter, const ProfileFile& file,
             const ProgressSink& progress) {
    StepProgress steps(progress, "restore");
    return ConfigRestore(session, prompter, steps).runFile(file) == ConfigRestore::Result::Completed;
}

// The gate's refusal of the file as this device gets it; where the refused value took a variable of
// the device's, the variable and the inventory line that gave it are named too.
QString refusalFor(const CommandSettings& settings, const ProfileFile& configuration, const Device& device) {
    const QString refusal = ConfigRestore::refusalOf(configuration, settings.file);
    const std::optional<ProfileFile::Setting> setting = ConfigRestore::unsendableSetting(configuration);
    if (refusal.isEmpty() || !setting)
        return refusal;
    const std::string written = settings.configuration.read(setting->section, setting->key);
    QStringList names;
    for (const std::string& name : variablesIn(written))
        names << QStringLiteral("${%1}").arg(fromStd(name));
    if (names.isEmpty() || ConfigRestore::unsendableSetting(settings.configuration))
        return refusal;
    return refusal +
           QStringLiteral(" The value holds %1 of %2 (%3).")
               .arg(names.join(QStringLiteral(", ")), fromStd(device.label()),
                    device.origin.empty() ? QStringLiteral("the command line") : fromStd(device.origin));
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

bool diff(CliSession& session, CliPrompter& prompter, const ProfileFile& file, const ProgressSink& progress,
          DeviceOutcome& outcome) {
    const std::optional<ProfileFile> device = readDevice(session, prompter, progress);
    if (!device)
        return false;
    outcome.differences = differencesOf(*device, file, ListMatch::Exact);
    for (const Difference& difference : outcome.differences)
        outcome.output += differenceText(difference) + "\n";
    outcome.different = !outcome.differences.empty();
    return true;
}

std::string joinedGroups(const std::vector<std::string>& groups) {
    std::string out;
    for (const std::string& group : groups)
        out += (out.empty() ? "" : ", ") + group;
    return out;
}

// Apply judges every line it sends: an empty reply, a refusal, or a reply without "+OK" stops the run.
bool acceptedLine(std::string_view reply) {
    return !reply.starts_with("-ERR") && containsOk(reply);
}

// Sends `steps` in order, recording each accepted line; false at the first line not accepted, with
// `failedAt` its index and the message shown.
bool sendLines(CliSession& session, CliPrompter& prompter, const std::vector<RestoreStep>& steps,
               StepProgress& progress, DeviceOutcome& outcome, std::size_t& failedAt) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const RestoreStep& step = steps[i];
        progress.advance(int(i + 1), int(steps.size()), fromStd(step.group));
        const QueryStep& query = restoreQueryOf(step.check);
        const QueryOutcome answer = askQuery(session, query, step.command);
        if (acceptedLine(answer.reply)) {
            outcome.sent.push_back(std::string(beforeLineEnd(step.command)));
            outcome.changed = true;
            continue;
        }
        failedAt = i;
        if (answer.reply.empty())
            reportFailure(session, prompter, query, answer);
        else
            prompter.message(QStringLiteral("The device refused \"%1\": %2")
                                 .arg(fromStd(printable(beforeLineEnd(step.command))),
                                      fromStd(printable(beforeLineEnd(answer.reply)))));
        return false;
    }
    return true;
}

// The route table was emptied and the run failed before the file's routes were all in: the device's
// own routes go back on a connection of their own, the old one being in an unknown state.
void putRoutesBack(const CommandSettings& settings, const Device& device,
                   const std::vector<RestoreStep>& routes, const ProgressSink& progress,
                   Transcript& transcript, CliPrompter& prompter, DeviceOutcome& outcome) {
    CliPrompter again;
    CliSession session(connectSettingsFor(settings, device), again, transcript);
    std::string step;
    StepProgress steps(progress, "routes back");
    std::size_t failedAt = 0;
    const std::size_t count = routes.size() - 2; // after "route multi" and "route manual"
    if (session.open(device.address, false, step) &&
        sendLines(session, again, routes, steps, outcome, failedAt)) {
        prompter.message(QStringLiteral("The device's %1 routes were put back.").arg(count));
        return;
    }
    prompter.message(QStringLiteral("The device's %1 routes could not be put back: %2")
                         .arg(QString::number(count), again.messages.join(QStringLiteral(" "))));
}

// Reads the device, sends only the groups that differ from the file and reads it again: a device that
// already holds the file is not written to at all, and one that did not take a setting is a failure
// that names it.
bool apply(CliSession& session, CliPrompter& prompter, const ProfileFile& file,
           const CommandSettings& settings, const Device& device, const ProgressSink& progress,
           Transcript& transcript, DeviceOutcome& outcome) {
    const ListMatch lists = settings.replace ? ListMatch::Exact : ListMatch::Contains;
    const std::optional<ProfileFile> read = readDevice(session, prompter, progress);
    if (!read)
        return false;
    outcome.differences = differencesOf(*read, file, lists);
    for (const Difference& difference : outcome.differences)
        outcome.output += differenceText(difference) + "\n";
    const ApplyPlan plan = planApply(*read, file, outcome.differences);
    outcome.groups = plan.groups;
    if (plan.groups.empty()) {
        outcome.output += "unchanged\n";
        return true;
    }
    if (settings.check) {
        outcome.different = true;
        outcome.output += "would change: " + joinedGroups(plan.groups) + "\n";
        return true;
    }
    outcome.step = "connection check";
    if (!runQuery(session, prompter, kRestoreConnectionCheck))
        return false;
    outcome.step = "apply";
    StepProgress steps(progress, "apply");
    std::size_t failedAt = 0;
    const bool sent = sendLines(session, prompter, plan.steps, steps, outcome, failedAt);
    for (const std::string& line : outcome.sent)
        outcome.output += "sent: " + printable(line) + "\n";
    if (!sent) {
        if (plan.routesCleared && failedAt > *plan.routesCleared) {
            session.link().close();
            putRoutesBack(settings, device, plan.routesBack, progress, transcript, prompter, outcome);
        }
        return false;
    }
    outcome.step = "verify";
    const std::optional<ProfileFile> after = readDevice(session, prompter, progress);
    if (!after)
        return false;
    const std::vector<Difference> left = differencesOf(*after, file, lists);
    if (!left.empty()) {
        QString text = QStringLiteral("The device still differs from the file after the apply:");
        for (const Difference& difference : left)
            text += QStringLiteral(" ") + fromStd(differenceText(difference)) + QStringLiteral(";");
        prompter.message(text);
        return false;
    }
    outcome.output += "changed: " + joinedGroups(plan.groups) + "\n";
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
    case Command::Apply:
        return "apply";
    case Command::Metrics:
        return "metrics";
    }
    return "?";
}

} // namespace

ConnectSettings connectSettingsFor(const CommandSettings& settings, const Device& device) {
    ConnectSettings connect = settings.connect;
    if (device.credentials)
        connect.credentials = *device.credentials;
    return connect;
}

std::optional<std::string> firmwareVersion(CliSession& session, CliPrompter& prompter) {
    const QueryOutcome version = runQuery(session, prompter, kVersionQuery);
    if (version.kind == QueryOutcome::Kind::Silent)
        return std::nullopt;
    // A refused version query stands for 1.0, as on the Information page.
    return version ? versionTextFromReply(version.normalised()) : "1.0";
}

QString fileInFolder(const QString& folder, const HostAddress& host, const char* extension) {
    QString name = fromStd(host.label());
    name.replace(u':', u'_');
    return QDir(folder).filePath(name + u'.' + QLatin1String(extension));
}

DeviceOutcome runOnDevice(const CommandSettings& settings, const Device& device, const ProgressSink& progress,
                          Transcript& transcript) {
    if (settings.command == Command::Metrics)
        return scrapeDevice(settings, device, progress, transcript);
    DeviceOutcome outcome;
    outcome.host = device.label();
    const HostAddress& host = device.address;
    const bool toOutput = settings.file == QLatin1String("-");
    const QString file =
        settings.fileIsFolder
            ? fileInFolder(settings.file, host, settings.command == Command::Log ? "txt" : "kcf")
            : settings.file;
    // An output that cannot be created is known before the device is contacted at all; a backup is
    // then written into the very file made here.
    std::optional<NewFileBeside> output;
    if ((settings.command == Command::Backup || settings.command == Command::Log) && !file.isEmpty() &&
        !toOutput) {
        QString error;
        if (!output.emplace(file).create(error)) {
            outcome.step = "file";
            outcome.messages = {
                QCoreApplication::translate("ConfigBackup", "The file cannot be written: %1").arg(error)};
            return outcome;
        }
    }
    // The file as this device gets it; a variable it lacks is known before it is contacted, too.
    ProfileFile configuration = settings.configuration;
    if (const std::optional<std::string> problem = expandVariables(configuration, device.variables)) {
        outcome.step = "file";
        outcome.messages = {fromStd(*problem)};
        return outcome;
    }
    // One gate for every line a file can send, after the device's variables are in.
    const bool fromFile = settings.command == Command::Restore || settings.command == Command::Diff ||
                          settings.command == Command::Apply;
    if (const QString refusal = fromFile ? refusalFor(settings, configuration, device) : QString();
        !refusal.isEmpty()) {
        outcome.step = "file";
        outcome.messages = {refusal};
        return outcome;
    }
    CliPrompter prompter;
    CliSession session(connectSettingsFor(settings, device), prompter, transcript);
    if (progress)
        progress("connecting");
    if (!session.open(host, settings.command == Command::Info || settings.command == Command::Backup,
                      outcome.step)) {
        outcome.messages = prompter.messages;
        return outcome;
    }
    outcome.step = commandName(settings.command);
    if (progress)
        progress(outcome.step);
    switch (settings.command) {
    case Command::Discover:
    case Command::Metrics:
        break;
    case Command::Info:
        outcome.ok = info(session, prompter, outcome);
        break;
    case Command::Backup: {
        const std::string header = identityHeader(session);
        if (!toOutput) {
            outcome.ok = backup(session, prompter, *output, file, progress, header);
            break;
        }
        const std::optional<ProfileFile> device = readDevice(session, prompter, progress);
        if (device)
            outcome.output = header + device->text();
        outcome.ok = device.has_value();
        break;
    }
    case Command::Restore:
        outcome.ok = restore(session, prompter, configuration, progress);
        break;
    case Command::Log:
        outcome.ok = log(session, prompter, file, outcome);
        break;
    case Command::Diff:
        outcome.ok = diff(session, prompter, configuration, progress, outcome);
        break;
    case Command::Apply:
        outcome.ok = apply(session, prompter, configuration, settings, device, progress, transcript, outcome);
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
