#include "device_commands.h"

#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/config_backup.h"
#include "core/config_queries.h"
#include "core/config_restore.h"
#include "core/connection_status.h"
#include "core/device_link.h"
#include "core/device_log_fetch.h"
#include "core/file_io.h"
#include "core/firmware_version.h"
#include "core/page_queries.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "core/qt_text.h"
#include "core/vocabulary.h"
#include "fleet/convergence.h"
#include "fleet/device_metrics.h"
#include "fleet/inventory.h"
#include "fleet/printable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <charconv>

namespace kvx::fleet {
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

using InfoValues = std::vector<std::pair<std::string, QJsonValue>>;

const QJsonValue kNull(QJsonValue::Null);

// Text from the discovery answer: empty is what did not come.
QJsonValue known(const std::string& text) {
    return text.empty() ? kNull : QJsonValue(fromStd(text));
}

// The Bluetooth page's settings: its queries, each value read from the normalised reply as the page
// reads it, as the text output shows it; its JSON members go into the values.
struct Setting {
    const char* label;
    const QueryStep& step;
    std::string (*read)(std::string_view normalised, InfoValues& values);
};

const Setting kBluetooth[] = {
    {"Bluetooth Name", kBtNameQuery,
     [](std::string_view r, InfoValues& values) {
         std::string name = valueFrom(r, kQueryValuePosition);
         values.emplace_back("name", fromStd(name));
         return name;
     }},
    {"MaxDT", kMaxDtQuery,
     [](std::string_view r, InfoValues& values) {
         std::string value = valueFrom(r, kMaxDtValuePosition);
         values.emplace_back("maxdt", decimalValue(value));
         return value;
     }},
    {"Link Timeout", kLinkTimeoutQuery,
     [](std::string_view r, InfoValues& values) {
         const std::string seconds = linkTimeoutFrom(r);
         values.emplace_back("link_timeout", decimalValue(seconds));
         return seconds + " sec";
     }},
    {"Scan", kScanQuery,
     [](std::string_view r, InfoValues& values) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         const std::optional<ScanMode> scan = scanModeFromReport(value);
         values.emplace_back("discoverable", scan ? QJsonValue(scan->discoverable) : kNull);
         values.emplace_back("connectable", scan ? QJsonValue(scan->connectable) : kNull);
         if (scan)
             return "discoverable " + onOff(scan->discoverable) + ", connectable " + onOff(scan->connectable);
         return unknown(value);
     }},
    {"Security", kSecurityQuery,
     [](std::string_view r, InfoValues& values) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         const std::optional<int> entry = securityEntryFromReport(value);
         const std::string word = entry ? std::string(securityWord(*entry)) : std::string();
         values.emplace_back("security", entry ? QJsonValue(fromStd(word)) : kNull);
         return entry ? word : unknown(value);
     }},
    {"Pairable", kPairableQuery,
     [](std::string_view r, InfoValues& values) {
         const std::string value = valueFrom(r, kQueryValuePosition);
         const std::optional<bool> on = pairableFromReport(value);
         values.emplace_back("pairable", on ? QJsonValue(*on) : kNull);
         return on ? std::string(pairableWord(*on)) : unknown(value);
     }},
};

// The live links as the Connections page reads them, each with the numbers behind its indicator.
bool readLinks(FleetSession& session, FleetPrompter& prompter, DeviceOutcome& outcome) {
    const QueryOutcome list = runQuery(session, prompter, kConnectionList);
    if (!list)
        return false;
    const ConnectionStatus status = parseConnectionStatus(list.reply, false);
    if (status.imperfect) {
        prompter.message(
            QCoreApplication::translate("kvx::ConnectionsPage", "Get Status is imperfect. Try again."));
        return false;
    }
    QJsonArray links;
    outcome.output += "Links: " + std::to_string(status.rows.size()) + "\n";
    for (const ConnectionRow& row : status.rows) {
        const auto& [index, dev, port, address, name, tx, rx] = row.columns;
        links.append(QJsonObject{{QStringLiteral("address"), fromStd(address)},
                                 {QStringLiteral("name"), fromStd(name)},
                                 {QStringLiteral("quality"), row.quality},
                                 {QStringLiteral("signal"), row.signal},
                                 {QStringLiteral("transmitted"), decimalValue(tx)},
                                 {QStringLiteral("received"), decimalValue(rx)}});
        outcome.output += "Link " + printable(address) + " " + printable(name) + ": quality " +
                          std::to_string(row.quality) + ", signal " + std::to_string(row.signal) + ", Tx " +
                          printable(tx) + ", Rx " + printable(rx) + "\n";
    }
    outcome.values.emplace_back("links", links);
    return true;
}

bool info(FleetSession& session, FleetPrompter& prompter, DeviceOutcome& outcome) {
    const DeviceRecord& r = session.deviceRecord();
    const std::pair<const char*, const std::string*> identity[] = {
        {"Product Name", &r.productName},           {"Model Code", &r.modelCode},
        {"Product Serial Number", &r.serialNumber}, {"IP Address", &r.ipAddress},
        {"Control Port", &r.controlPort},           {"MAC Address", &r.macAddress},
        {"Bluetooth Address", &r.btAddress}};
    std::string& out = outcome.output;
    for (const auto& [label, value] : identity)
        out += std::string(label) + ": " + printable(*value) + "\n";
    InfoValues& values = outcome.values;
    values = {{"product", known(r.productName)},     {"model", known(r.modelCode)},
              {"serial", known(r.serialNumber)},     {"ip", known(r.ipAddress)},
              {"port", decimalValue(r.controlPort)}, {"mac", known(r.macAddress)},
              {"bluetooth", known(r.btAddress)}};

    // One reading: a reply nobody asked for would shift every value after it.
    Reading reading(session);
    outcome.step = "version";
    const std::optional<std::string> firmware = firmwareVersion(session, prompter);
    if (!firmware)
        return false;
    out += "Firmware Version: " + printable(*firmware) + "\n";
    values.emplace_back("firmware", fromStd(*firmware));

    outcome.step = "mode";
    const std::optional<int> mode = queryMode(session, prompter);
    if (!mode)
        return false;
    out += "Operation Mode: " + std::string(modeCaption(*mode)) + "\n";
    values.emplace_back("mode", fromStd(std::string(modeKeyword(*mode))));

    outcome.step = "bluetooth";
    for (const Setting& setting : kBluetooth) {
        const QueryOutcome reply = runQuery(session, prompter, setting.step);
        if (!reply)
            return false;
        out += std::string(setting.label) + ": " + printable(setting.read(reply.normalised(), values)) + "\n";
    }
    outcome.step = "links";
    if (!readLinks(session, prompter, outcome))
        return false;
    return reading.finish(prompter, kConnectionList.command);
}

// Comment lines naming the device and the time, so that a folder of backups kept under version control
// tells which unit each file came from and when; readers pass over them. The name is the one the
// backup read; the rest is the discovery answer's, when it came.
std::string identityHeader(const DeviceRecord& r, const std::string& name, const std::string& firmware) {
    const auto line = [](const char* label, const std::string& value) {
        // Bounded and escaped: a device's text must not end the comment or add a section.
        constexpr std::size_t kLongest = 64;
        return "; " + std::string(label) + ": " +
               (value.empty() ? std::string("unknown") : printable(value.substr(0, kLongest))) + "\r\n";
    };
    return "; Lumeno-KVX100 configuration backup\r\n" + line("Name", name) + line("Model", r.modelCode) +
           line("Serial", r.serialNumber) + line("MAC", r.macAddress) + line("Firmware", firmware) +
           line("Time", toStd(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
}

// Every setting as the Back up button reads it, behind the comment lines naming the device, into the
// file created before the device was contacted or, without one, the output. The identity is the
// discovery answer only if it came while the backup ran: a device whose answer never comes (a filter
// that drops it) costs no wait. What was read before a failure is kept beside the file, as the button
// keeps it.
bool backup(FleetSession& session, FleetPrompter& prompter, NewFileBeside* file, const QString& path,
            const ProgressSink& progress, DeviceOutcome& outcome) {
    // Asked quietly: the identity is a comment, and a device that does not tell its version is still
    // backed up.
    const QueryOutcome version = askQuery(session, kVersionQuery);
    const std::string firmware = version ? versionTextFromReply(version.normalised()) : std::string();
    StepProgress steps(progress, "backup");
    ConfigBackup procedure(session, prompter, steps);
    const auto header = [&](const ProfileFile& read) {
        session.takeArrivedIdentity();
        return identityHeader(session.deviceRecord(), read.read("BTNAME", "Btname"), firmware);
    };
    procedure.setHeader(header);
    ProfileFile settings;
    const bool done = file ? procedure.write(*file, path) == ConfigBackup::Result::Completed
                           : procedure.read(settings) == ConfigBackup::Result::Completed;
    if (!done) {
        appendReason(prompter.messages, session.takeSilenceText());
        return false;
    }
    if (!file)
        outcome.output = header(settings) + settings.text();
    return true;
}

// The settings of the device as a backup reads them, kept in memory.
std::optional<ProfileFile> readDevice(FleetSession& session, FleetPrompter& prompter,
                                      const ProgressSink& progress) {
    StepProgress steps(progress, "read");
    ProfileFile device;
    if (ConfigBackup(session, prompter, steps).read(device) != ConfigBackup::Result::Completed)
        return std::nullopt;
    return device;
}

bool restore(FleetSession& session, FleetPrompter& prompter, const ProfileFile& file,
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

bool log(FleetSession& session, FleetPrompter& prompter, const QString& target, DeviceOutcome& outcome) {
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

bool diff(FleetSession& session, FleetPrompter& prompter, const ProfileFile& file,
          const ProgressSink& progress, DeviceOutcome& outcome) {
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
bool sendLines(FleetSession& session, FleetPrompter& prompter, const std::vector<RestoreStep>& steps,
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
                   Transcript& transcript, FleetPrompter& prompter, DeviceOutcome& outcome) {
    FleetPrompter again;
    FleetSession session(connectSettingsFor(settings, device), again, transcript);
    session.finishOnStop();
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
bool apply(FleetSession& session, FleetPrompter& prompter, const ProfileFile& file,
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
    session.finishOnStop();
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

// A reply that starts with "-ERR" is the device's refusal, and so this device's failure; silence is
// told by the session.
bool send(FleetSession& session, FleetPrompter& prompter, std::string command, int wait,
          DeviceOutcome& outcome) {
    if (!command.ends_with("\r\n"))
        command += "\r\n";
    const std::string reply = session.transact(command, wait);
    if (reply.empty())
        return false;
    if (reply.starts_with("-ERR")) {
        prompter.message(
            QStringLiteral("The device refused \"%1\": %2")
                .arg(fromStd(printable(beforeLineEnd(command))), fromStd(printable(beforeLineEnd(reply)))));
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

// Connects, logs in and reads what the metrics show; a device that cannot be reached or refuses the
// login still gives an outcome, whose metrics say how far it got.
DeviceOutcome scrape(const CommandSettings& settings, const Device& device, const ProgressSink& progress,
                     Transcript& transcript) {
    const auto start = std::chrono::steady_clock::now();
    DeviceOutcome outcome;
    outcome.host = device.label();
    FleetPrompter prompter;
    FleetSession session(connectSettingsFor(settings, device), prompter, transcript);
    if (progress)
        progress("connecting");
    DeviceMetrics& metrics = outcome.metrics;
    const bool opened = session.open(device.address, true, outcome.step);
    // Only the steps after "connect" fail with the connection made.
    if (opened || outcome.step == "login")
        metrics.loginAccepted = opened;
    metrics.identity = session.deviceRecord();
    if (opened) {
        if (progress)
            progress("metrics");
        outcome.ok = readMetrics(session, prompter, metrics, outcome.step);
        if (outcome.ok)
            outcome.step = "metrics";
    }
    metrics.up = outcome.ok;
    outcome.messages = prompter.messages;
    metrics.scrapeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

} // namespace

ConnectSettings connectSettingsFor(const CommandSettings& settings, const Device& device) {
    ConnectSettings connect = settings.connect;
    if (device.credentials)
        connect.credentials = *device.credentials;
    return connect;
}

QJsonValue decimalValue(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return kNull;
    return QJsonValue(double(value));
}

QString fileInFolder(const QString& folder, const HostAddress& host, const char* extension) {
    QString name = fromStd(host.label());
    name.replace(u':', u'_');
    return QDir(folder).filePath(name + u'.' + QLatin1String(extension));
}

DeviceOutcome runOnDevice(const CommandSettings& settings, const Device& device, const ProgressSink& progress,
                          Transcript& transcript) {
    if (settings.command == Command::Metrics)
        return scrape(settings, device, progress, transcript);
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
    FleetPrompter prompter;
    FleetSession session(connectSettingsFor(settings, device), prompter, transcript);
    if (progress)
        progress("connecting");
    const FleetSession::Identity identity =
        settings.command == Command::Info     ? FleetSession::Identity::Awaited
        : settings.command == Command::Backup ? FleetSession::Identity::IfArrived
                                              : FleetSession::Identity::NotWanted;
    if (!session.open(host, identity, outcome.step)) {
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
    case Command::Backup:
        outcome.ok = backup(session, prompter, output ? &*output : nullptr, file, progress, outcome);
        break;
    case Command::Restore:
        session.finishOnStop();
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
    else
        appendReason(prompter.messages, session.takeSilenceText());
    outcome.messages = prompter.messages;
    return outcome;
}

DeviceOutcome rebootDevice(const CommandSettings& settings, const Device& device,
                           const ProgressSink& progress) {
    DeviceOutcome outcome;
    outcome.host = device.label();
    FleetPrompter prompter;
    StreamTranscript quiet;
    FleetSession session(connectSettingsFor(settings, device), prompter, quiet);
    if (progress)
        progress("connecting");
    if (!session.open(device.address, FleetSession::Identity::NotWanted, outcome.step)) {
        outcome.messages = prompter.messages;
        return outcome;
    }
    outcome.step = "reboot";
    if (progress)
        progress(outcome.step);
    outcome.ok = runQuery(session, prompter, kReboot).accepted();
    if (!outcome.ok)
        appendReason(prompter.messages, session.takeSilenceText());
    outcome.messages = prompter.messages;
    return outcome;
}

} // namespace kvx::fleet
