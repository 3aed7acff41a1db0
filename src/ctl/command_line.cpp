#include "command_line.h"

#include "core/discovery_socket.h"
#include "core/qt_text.h"
#include "ctl/convergence.h"
#include "ctl/invocation.h"
#include "ctl/metrics.h"
#include "ctl/printable.h"
#include "ctl/runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <mutex>

namespace kvx::ctl {
namespace {

std::vector<DeviceOutcome> runAll(const Invocation& run, Console& console) {
    std::vector<DeviceOutcome> outcomes(run.devices.size());
    std::vector<std::string> labels;
    for (const Device& device : run.devices)
        labels.push_back(device.label());
    ProgressBoard board(console.err, console.terminal, labels, console.terminalRows);
    std::mutex echo;
    StreamTranscript transcript(run.verbose
                                    ? std::function<void(std::string_view)>([&](std::string_view text) {
                                          const std::lock_guard lock(echo);
                                          console.err << printableLines(text);
                                      })
                                    : std::function<void(std::string_view)>());
    const auto work = [&](std::size_t i) {
        outcomes[i] = runOnDevice(
            run.settings, run.devices[i],
            [&, i](const std::string& text) { board.set(i, DeviceState::Running, text); }, transcript);
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

QJsonValue jsonText(const std::optional<std::string>& text) {
    return text ? QJsonValue(fromStd(*text)) : QJsonValue(QJsonValue::Null);
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
            QJsonObject device{{QStringLiteral("host"), fromStd(o.host)},
                               {QStringLiteral("ok"), o.ok},
                               {QStringLiteral("step"), fromStd(o.step)},
                               {QStringLiteral("messages"), QJsonArray::fromStringList(o.messages)}};
            if (!o.output.empty())
                device.insert(QStringLiteral("output"), fromStd(o.output));
            if (run.settings.command == Command::Diff)
                device.insert(QStringLiteral("different"), o.different);
            if (run.settings.command == Command::Apply) {
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
            if (run.settings.command == Command::Diff || run.settings.command == Command::Apply) {
                QJsonArray differences;
                for (const Difference& d : o.differences)
                    differences.append(QJsonObject{{QStringLiteral("group"), fromStd(d.group)},
                                                   {QStringLiteral("item"), fromStd(d.item)},
                                                   {QStringLiteral("device"), jsonText(d.device)},
                                                   {QStringLiteral("file"), jsonText(d.file)}});
                device.insert(QStringLiteral("differences"), differences);
            }
            devices.append(device);
        }
        console.out << QJsonDocument(devices).toJson().constData();
        return;
    }
    case Invocation::Format::Csv: {
        // apply adds the groups it changed, or would change, separated by blanks, whether the device
        // took any line, and the lines it took, separated by " | ".
        const bool groups = run.settings.command == Command::Apply;
        console.out << "host,status,step,message" << (groups ? ",groups,changed,sent\n" : "\n");
        for (const DeviceOutcome& o : outcomes) {
            console.out << csvField(o.host) << "," << status(run, o) << "," << csvField(o.step) << ","
                        << csvField(printableMessages(o.messages));
            if (groups) {
                std::string list;
                for (const std::string& group : o.groups)
                    list += (list.empty() ? "" : " ") + printable(group);
                std::string sent;
                for (const std::string& line : o.sent)
                    sent += (sent.empty() ? "" : " | ") + printable(line);
                console.out << "," << csvField(list) << "," << (o.changed ? "true" : "false") << ","
                            << csvField(sent);
            }
            console.out << "\n";
        }
        return;
    }
    case Invocation::Format::Text:
        break;
    }
    const bool several = outcomes.size() > 1;
    for (const DeviceOutcome& o : outcomes) {
        if (several && !o.output.empty())
            console.out << "== " << o.host << "\n";
        console.out << o.output;
        if (!o.ok)
            console.err << o.host << ": " << o.step << ": " << printableMessages(o.messages) << "\n";
    }
    if (several) {
        console.out << "\n";
        for (const DeviceOutcome& o : outcomes)
            console.out << o.host << "  "
                        << (o.ok ? status(run, o)
                                 : "FAILED at " + o.step + ": " + printableMessages(o.messages))
                        << "\n";
    }
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
        console.err << "discover: Search Error. Check Lumeno-KVX and Try again.\n";
        return kExitFailed;
    }
    if (run.format == Invocation::Format::Json) {
        QJsonArray devices;
        for (const DeviceRecord& r : found)
            devices.append(QJsonObject{{QStringLiteral("name"), fromStd(r.btName)},
                                       {QStringLiteral("ip"), fromStd(r.ipAddress)},
                                       {QStringLiteral("port"), fromStd(r.controlPort)},
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
    return found.empty() ? kExitFailed : kExitOk;
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
