#include "command_line.h"

#include "core/discovery_socket.h"
#include "core/qt_text.h"
#include "ctl/invocation.h"
#include "ctl/metrics_report.h"
#include "ctl/progress_board.h"
#include "fleet/convergence.h"
#include "fleet/printable.h"
#include "fleet/runner.h"
#include "platform/net.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <mutex>

namespace kvx::ctl {

using namespace kvx::fleet;
namespace {

// The --verbose echo of one device, a whole line at a time: with several devices their lines would
// otherwise interleave mid-line, so each line starts with its device's label.
class EchoTranscript : public Transcript {
public:
    EchoTranscript(std::string prefix, std::function<void(std::string_view)> sink)
        : m_prefix(std::move(prefix))
        , m_sink(std::move(sink)) {}
    ~EchoTranscript() override {
        if (!m_pending.empty())
            m_sink(m_prefix + printable(m_pending) + "\r\n");
    }
    EchoTranscript(const EchoTranscript&) = delete;
    EchoTranscript& operator=(const EchoTranscript&) = delete;

    void append(std::string_view text) override {
        m_pending += text;
        std::size_t start = 0;
        for (std::size_t end = m_pending.find("\r\n"); end != std::string::npos;
             end = m_pending.find("\r\n", start)) {
            m_sink(m_prefix + printableLines(std::string_view(m_pending).substr(start, end + 2 - start)));
            start = end + 2;
        }
        m_pending.erase(0, start);
    }
    void clear() override {}

private:
    std::string m_prefix;
    std::function<void(std::string_view)> m_sink;
    std::string m_pending;
};

std::vector<DeviceOutcome> runAll(const Invocation& run, Console& console) {
    std::vector<DeviceOutcome> outcomes(run.devices.size());
    std::vector<std::string> labels;
    for (const Device& device : run.devices)
        labels.push_back(device.label());
    // The echo of --verbose shows the progress itself, and a board redrawn over it would garble both.
    ProgressBoard board(console.err, console.terminal && !run.verbose, labels, console.terminalRows);
    std::mutex echo;
    const auto toErrorStream = [&](std::string_view text) {
        const std::lock_guard lock(echo);
        console.err << text;
    };
    const auto work = [&](std::size_t i) {
        StreamTranscript quiet;
        EchoTranscript verbose(labels.size() > 1 ? labels[i] + ": " : std::string(), toErrorStream);
        outcomes[i] = runOnDevice(
            run.settings, run.devices[i],
            [&, i](const std::string& text) { board.set(i, DeviceState::Running, text); },
            run.verbose ? static_cast<Transcript&>(verbose) : quiet);
        board.set(i, outcomes[i].ok ? DeviceState::Done : DeviceState::Failed,
                  outcomes[i].ok ? "done" : "FAILED at " + outcomes[i].step);
    };
    const auto notStarted = [&](std::size_t i, const std::string& reason) {
        outcomes[i] = DeviceOutcome{};
        outcomes[i].host = labels[i];
        outcomes[i].step = "start";
        outcomes[i].messages = {fromStd(reason)};
        board.set(i, DeviceState::Failed, "FAILED at start");
    };
    board.redraw();
    runInParallel(run.devices.size(), std::size_t(run.parallel), work, notStarted, [&] { board.redraw(); });
    board.redraw();
    // The report that follows tells every device's end, so each failure shows once.
    board.erase();
    return outcomes;
}

// One word for a device's line of the report.
std::string status(const Invocation& run, const DeviceOutcome& o) {
    if (!o.ok)
        return "failed";
    if (run.settings.command == Command::Apply)
        return o.groups.empty() ? "unchanged" : "changed";
    return o.different ? "different" : "ok";
}

// How many devices ended with each of the command's status words: "totals: 2 ok, 1 failed".
std::string totals(const Invocation& run, const std::vector<DeviceOutcome>& outcomes) {
    const std::vector<std::string> words =
        run.settings.command == Command::Apply  ? std::vector<std::string>{"unchanged", "changed", "failed"}
        : run.settings.command == Command::Diff ? std::vector<std::string>{"ok", "different", "failed"}
                                                : std::vector<std::string>{"ok", "failed"};
    std::string text = "totals:";
    for (const std::string& word : words)
        text +=
            (&word == &words.front() ? " " : ", ") +
            std::to_string(std::count_if(outcomes.begin(), outcomes.end(),
                                         [&](const DeviceOutcome& o) { return status(run, o) == word; })) +
            " " + word;
    return text;
}

QJsonValue jsonText(const std::optional<std::string>& text) {
    return text ? QJsonValue(fromStd(*text)) : QJsonValue(QJsonValue::Null);
}

std::string csvField(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// A side of a difference that lacks the entry stays an empty field; an empty value is "".
std::string csvSide(const std::optional<std::string>& text) {
    return text ? csvField(printable(*text)) : std::string();
}

// An info value as its CSV column: numbers and flags as JSON writes them, a list of links as their
// addresses separated by blanks, nothing for null.
std::string csvValue(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? "true" : "false";
    case QJsonValue::Double:
        return std::to_string(value.toInteger());
    case QJsonValue::String:
        return csvField(printable(toStd(value.toString())));
    case QJsonValue::Array: {
        std::string addresses;
        for (const QJsonValue& link : value.toArray())
            addresses += (addresses.empty() ? "" : " ") + toStd(link[QStringLiteral("address")].toString());
        return csvField(printable(addresses));
    }
    default:
        return {};
    }
}

QJsonObject jsonDevice(const Invocation& run, const DeviceOutcome& o) {
    const Command command = run.settings.command;
    QJsonObject device{{QStringLiteral("host"), fromStd(o.host)},
                       {QStringLiteral("ok"), o.ok},
                       {QStringLiteral("step"), fromStd(o.step)},
                       {QStringLiteral("messages"), QJsonArray::fromStringList(o.messages)}};
    // Info's values have members of their own.
    if (!o.output.empty() && command != Command::Info)
        device.insert(QStringLiteral("output"), fromStd(o.output));
    for (const auto& [key, value] : o.values)
        device.insert(fromStd(key), value);
    if (command == Command::Diff)
        device.insert(QStringLiteral("different"), o.different);
    if (command == Command::Apply) {
        device.insert(QStringLiteral("status"), fromStd(status(run, o)));
        QJsonArray groups;
        for (const std::string& group : o.groups)
            groups.append(fromStd(group));
        device.insert(QStringLiteral("groups"), groups);
        // What the device took, also when the run then failed.
        device.insert(QStringLiteral("changed"), o.changed);
        QJsonArray sent;
        for (const std::string& line : o.sent)
            sent.append(fromStd(line));
        device.insert(QStringLiteral("sent"), sent);
    }
    if (command == Command::Diff || command == Command::Apply) {
        QJsonArray differences;
        for (const Difference& d : o.differences)
            differences.append(QJsonObject{{QStringLiteral("group"), fromStd(d.group)},
                                           {QStringLiteral("item"), fromStd(d.item)},
                                           {QStringLiteral("device"), jsonText(d.device)},
                                           {QStringLiteral("file"), jsonText(d.file)}});
        device.insert(QStringLiteral("differences"), differences);
    }
    return device;
}

// One row per device; info adds its values, apply the groups it changed, or would change, separated by
// blanks, whether the device took any line, and the lines it took, separated by " | "; diff gives one
// row per difference instead.
void csvReport(const Invocation& run, const std::vector<DeviceOutcome>& outcomes, std::ostream& out) {
    const Command command = run.settings.command;
    out << "host,status,step,message";
    if (command == Command::Info)
        for (const char* field : kInfoFields)
            out << "," << field;
    out << (command == Command::Apply  ? ",groups,changed,sent"
            : command == Command::Diff ? ",group,item,device,file"
                                       : "")
        << "\n";
    for (const DeviceOutcome& o : outcomes) {
        const std::string row = csvField(o.host) + "," + status(run, o) + "," + csvField(o.step) + "," +
                                csvField(printableMessages(o.messages));
        if (command == Command::Diff) {
            for (const Difference& d : o.differences)
                out << row << "," << csvField(printable(d.group)) << "," << csvField(printable(d.item)) << ","
                    << csvSide(d.device) << "," << csvSide(d.file) << "\n";
            if (o.differences.empty())
                out << row << ",,,,\n";
            continue;
        }
        out << row;
        if (command == Command::Info)
            for (const char* field : kInfoFields) {
                const auto value = std::find_if(o.values.begin(), o.values.end(),
                                                [&](const auto& v) { return v.first == field; });
                out << "," << (value == o.values.end() ? std::string() : csvValue(value->second));
            }
        if (command == Command::Apply) {
            std::string list;
            for (const std::string& group : o.groups)
                list += (list.empty() ? "" : " ") + printable(group);
            std::string sent;
            for (const std::string& line : o.sent)
                sent += (sent.empty() ? "" : " | ") + printable(line);
            out << "," << csvField(list) << "," << (o.changed ? "true" : "false") << "," << csvField(sent);
        }
        out << "\n";
    }
}

// The report's data goes to the standard output; its totals end the text there, and go to the error
// stream after JSON and CSV, which stay data alone for the programs that read them.
void report(const Invocation& run, const std::vector<DeviceOutcome>& outcomes, Console& console) {
    switch (run.format) {
    case Invocation::Format::Json: {
        QJsonArray devices;
        for (const DeviceOutcome& o : outcomes)
            devices.append(jsonDevice(run, o));
        console.out << QJsonDocument(devices).toJson().constData();
        console.err << "kvx100ctl: " << totals(run, outcomes) << "\n";
        return;
    }
    case Invocation::Format::Csv:
        csvReport(run, outcomes, console.out);
        console.err << "kvx100ctl: " << totals(run, outcomes) << "\n";
        return;
    case Invocation::Format::Text:
        break;
    }
    // One device's failure goes to the error stream, its output alone to the standard output (a backup,
    // a reply, a log); with several, the closing list names each failure.
    const bool several = outcomes.size() > 1;
    bool printed = false;
    for (const DeviceOutcome& o : outcomes) {
        if (several && !o.output.empty())
            console.out << "== " << o.host << "\n";
        console.out << o.output;
        printed = printed || !o.output.empty();
        if (!several && !o.ok)
            console.err << o.host << ": " << o.step << ": " << printableMessages(o.messages) << "\n";
    }
    if (!several)
        return;
    if (printed)
        console.out << "\n";
    for (const DeviceOutcome& o : outcomes)
        console.out << o.host << "  "
                    << (o.ok ? status(run, o) : "FAILED at " + o.step + ": " + printableMessages(o.messages))
                    << "\n";
    console.out << totals(run, outcomes) << "\n";
}

int discover(const Invocation& run, Console& console) {
    DiscoverySocket socket({run.target, run.settings.connect.discovery.port, run.interfaces});
    std::vector<DeviceRecord> found;
    const auto wait = std::chrono::milliseconds(qint64(run.timeoutSeconds * 1000));
    const auto list = [&](const DeviceRecord& record) {
        found.push_back(record);
    };
    // A read that failed is silence here: the list is all that is reported.
    if (!socket.open() || !socket.search(wait, list, [] {})) {
        console.err << "discover: Search Error. Check Lumeno-KVX and Try again.";
        if (socket.lastError() != 0)
            console.err << " " << net::errorText(socket.lastError()) << ".";
        console.err << "\n";
        return kExitFailed;
    }
    if (run.format == Invocation::Format::Json) {
        QJsonArray devices;
        for (const DeviceRecord& r : found)
            devices.append(QJsonObject{{QStringLiteral("name"), fromStd(r.btName)},
                                       {QStringLiteral("ip"), fromStd(r.ipAddress)},
                                       {QStringLiteral("port"), decimalValue(r.controlPort)},
                                       {QStringLiteral("mac"), fromStd(r.macAddress)},
                                       {QStringLiteral("bluetooth"), fromStd(r.btAddress)},
                                       {QStringLiteral("model"), fromStd(r.modelCode)},
                                       {QStringLiteral("serial"), fromStd(r.serialNumber)},
                                       {QStringLiteral("product"), fromStd(r.productName)}});
        console.out << QJsonDocument(devices).toJson().constData();
    } else {
        for (const DeviceRecord& r : found) {
            const std::string* fields[] = {&r.btName,    &r.ipAddress, &r.controlPort,  &r.macAddress,
                                           &r.btAddress, &r.modelCode, &r.serialNumber, &r.productName};
            for (const std::string* field : fields)
                console.out << printable(*field) << (field == fields[std::size(fields) - 1] ? "\n" : "\t");
        }
    }
    if (found.empty()) {
        console.err << "discover: no device answered\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

int runCommandLine(const QStringList& arguments, Console& console) {
    const ParsedCommandLine parsed = parseCommandLine(arguments, console.askPassword);
    switch (parsed.kind) {
    case ParsedCommandLine::Kind::Print:
        console.out << parsed.text;
        return kExitOk;
    case ParsedCommandLine::Kind::Usage:
        console.err << parsed.text;
        return kExitUsage;
    case ParsedCommandLine::Kind::Run:
        break;
    }
    const Invocation& run = parsed.invocation;
    if (run.settings.command == Command::Discover)
        return discover(run, console);

    for (const std::string& notice : run.repeated)
        console.err << "kvx100ctl: " << notice << "\n";
    const std::vector<DeviceOutcome> outcomes = runAll(run, console);
    if (run.settings.command == Command::Metrics) {
        if (!reportMetrics(run, outcomes, console))
            return kExitFailed;
    } else {
        report(run, outcomes, console);
    }
    if (std::any_of(outcomes.begin(), outcomes.end(), [](const DeviceOutcome& o) { return !o.ok; }))
        return kExitFailed;
    if (std::any_of(outcomes.begin(), outcomes.end(), [](const DeviceOutcome& o) { return o.different; }))
        return kExitDifferent;
    return kExitOk;
}

} // namespace kvx::ctl
