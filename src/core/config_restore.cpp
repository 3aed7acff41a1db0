#include "config_restore.h"

#include "core/config_backup.h"
#include "core/config_queries.h"
#include "core/device_session.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "core/prompter.h"
#include "core/qt_text.h"
#include "core/vocabulary.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace kvx {
namespace {

using Check = RestoreStep::Check;

// The size of the route tables the restore was built with; a line of one From address carries the To
// addresses of all its entries, so the lines grow with the square of the count.
constexpr unsigned kMaxRoutes = 500;

// A command word, its values separated by single blanks, and ";" with the line end.
std::string settingLine(std::string_view word, const std::vector<std::string>& values) {
    std::string line(word);
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i == 0 ? "" : " ") + values[i];
    return line + ";\r\n";
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

// A SUM larger than the entries written is a damaged file; the keys present bound the count, so that a
// huge number neither runs for ever nor sends thousands of empty lines.
std::size_t entryCount(const ProfileFile& file, const char* section, std::size_t keysPerEntry) {
    const std::size_t written = file.keys(section).size() / keysPerEntry;
    return std::min<std::size_t>(leadingDecimal(file.read(section, "SUM")), written);
}

void addModeSteps(const ProfileFile& file, std::vector<RestoreStep>& steps) {
    const std::string mode = file.read("MODE", "Mode");
    if (mode == "Client Mode") {
        steps.push_back(
            {settingLine("serv ", {file.read("SERV", "Client Server")}), Check::Answered, "SERV"});
        steps.push_back({"mode client;\r\n", Check::Answered, "MODE"});
    }
    if (mode == "Repeater Mode") {
        steps.push_back(
            {settingLine("station ", {file.read("STATION", "Station")}), Check::Answered, "STATION"});
        steps.push_back({"mode repeater;\r\n", Check::Answered, "MODE"});
    }
    if (mode == "RS232 Mode")
        steps.push_back({"mode RS232;\r\n", Check::SerialMode, "MODE"});
    if (mode == "Serial Hub Mode")
        steps.push_back({"mode hub;\r\n", Check::Answered, "MODE"});
    else
        steps.push_back({settingLine("mode ", {mode}), Check::Answered, "MODE"});
}

// The server keys are named after each entry's own index on the device, which need not run 0, 1, 2...,
// so every Name key with its Server key is taken, in file order.
void addServerSteps(const ProfileFile& file, std::vector<RestoreStep>& steps) {
    const std::vector<std::string> keys = file.keys("SERV");
    for (const std::string& key : keys) {
        if (!endsWith(key, "Name"))
            continue;
        const std::string index = key.substr(0, key.size() - 4);
        const std::string serverKey = index + "Server";
        if (std::none_of(keys.begin(), keys.end(), [&](const std::string& k) {
                return k.size() == serverKey.size() && endsWith(k, serverKey);
            }))
            continue;
        steps.push_back({settingLine("Serv ", {file.read("SERV", serverKey), file.read("SERV", key)}),
                         Check::Answered, "SERV"});
    }
}

// Each route line carries a From address with all of its To addresses; a From address written k times
// is sent k times.
void addRouteSteps(const ProfileFile& file, std::vector<RestoreStep>& steps) {
    const std::size_t count = entryCount(file, "ROUTE", 2);
    std::vector<std::string> fromAddresses;
    std::vector<std::string> toAddresses;
    for (std::size_t n = 0; n < count; ++n) {
        fromAddresses.push_back(file.read("ROUTE", std::to_string(n) + "From"));
        toAddresses.push_back(file.read("ROUTE", std::to_string(n) + "To"));
    }
    steps.push_back({"route multi;\r\n", Check::None, "ROUTE"});
    steps.push_back({"route manual;\r\n", Check::None, "ROUTE"});
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = "route add " + fromAddresses[i];
        for (std::size_t j = 0; j < count; ++j)
            if (fromAddresses[j] == fromAddresses[i])
                line += " " + toAddresses[j];
        steps.push_back({line + ";\r\n", Check::RouteAdded, "ROUTE"});
    }
}

} // namespace

const QueryStep& restoreQueryOf(Check check) {
    switch (check) {
    case Check::None:
        return kRestoreUnchecked;
    case Check::Answered:
        return kRestoreSetting;
    case Check::SerialMode:
        return kRestoreSerialMode;
    case Check::RouteAdded:
        return kRestoreRoute;
    }
    return kRestoreUnchecked;
}

std::vector<RestoreStep> restoreSteps(const ProfileFile& file) {
    std::vector<RestoreStep> steps;
    const auto add = [&](const char* word, const char* section, std::initializer_list<const char*> keys) {
        std::vector<std::string> values;
        for (const char* key : keys)
            values.push_back(file.read(section, key));
        steps.push_back({settingLine(word, values), Check::Answered, section});
    };
    addModeSteps(file, steps);
    add("Port ", "PORT", {"Port"});
    add("prsv ", "PRSV", {"Prsv"});
    add("kato ", "KATO", {"Kato"});
    const std::size_t bound = entryCount(file, "BIND", 2);
    for (std::size_t n = 0; n < bound; ++n) {
        const std::string number = std::to_string(n);
        steps.push_back(
            {settingLine("bind ", {file.read("BIND", number + "Name"), file.read("BIND", number + "Port")}),
             Check::Answered, "BIND"});
    }
    addServerSteps(file, steps);
    add("Rept ", "REPT", {"Rept"});
    add("psist ", "PSIST", {"Psist"});
    add("vertex ", "VERTEX", {"VertexPort", "VertexMax"});
    add("station ", "STATION", {"Station"});
    add("rs232 ", "RS232", {"BaudRate", "Data", "Flow"});
    add("btname ", "BTNAME", {"Btname"});
    add("maxdt ", "MAXDT", {"Maxdt"});
    add("linkto ", "LINKTO", {"Timeout"});
    add("scan ", "SCAN", {"Scan"});
    add("secu ", "SECU", {"Level"});
    add("pair ", "PAIR", {"Pair"});
    add("pinq ", "PINQ", {"Pinq", "Interval", "Length", "IAC"});
    addRouteSteps(file, steps);
    steps.push_back({"mode\r\n", Check::None, "MODE"});
    return steps;
}

ConfigRestore::ConfigRestore(DeviceSession& session, Prompter& prompter, ProcedureProgress& progress)
    : m_session(session)
    , m_prompter(prompter)
    , m_progress(progress) {}

ConfigRestore::Result ConfigRestore::run() {
    if (!runQuery(m_session, m_prompter, kRestoreConnectionCheck))
        return Result::ConnectionActive;
    const QString path = m_prompter.openFileName(configFileFilter(), QString());
    if (path.isEmpty())
        return Result::Cancelled;
    QString error;
    const std::optional<ProfileFile> file = ProfileFile::fromFile(path, error);
    if (!file) {
        m_prompter.message(tr("The file cannot be read: %1").arg(error));
        return Result::NotRead;
    }
    if (const QString refusal = refusalOf(*file, path); !refusal.isEmpty()) {
        m_prompter.message(refusal);
        return Result::Refused;
    }
    return sendAll(*file);
}

ConfigRestore::Result ConfigRestore::runFile(const ProfileFile& file) {
    if (!runQuery(m_session, m_prompter, kRestoreConnectionCheck))
        return Result::ConnectionActive;
    return sendAll(file);
}

ConfigRestore::Result ConfigRestore::sendAll(const ProfileFile& file) {
    const Result result = send(restoreSteps(file));
    m_progress.finish();
    return result;
}

// A value goes onto its command line as it stands, and a device may take ";" or a control character as
// the end of a setting: a file holding one could add commands of its own. Each is refused whole,
// before anything is sent.
std::optional<ProfileFile::Setting> ConfigRestore::unsendableSetting(const ProfileFile& file) {
    for (const ProfileFile::Setting& setting : file.settings()) {
        const bool unsendable = std::any_of(setting.value.begin(), setting.value.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte == ';' || byte < 0x20 || byte == 0x7f;
        });
        if (unsendable || setting.value.size() > kMaxValueBytes)
            return setting;
    }
    return std::nullopt;
}

QString ConfigRestore::refusalOf(const ProfileFile& file, const QString& path) {
    // A list whose keys were passed over has lost entries or its SUM: sent, it would say less than the
    // file does.
    if (file.truncated())
        return tr("%1 holds more sections or keys than a configuration file can (%2 sections, %3 keys a "
                  "section). Nothing was sent.")
            .arg(path, QString::number(ProfileFile::kMaxSections), QString::number(ProfileFile::kMaxKeys));
    if (const std::optional<ProfileFile::Setting> setting = unsendableSetting(file)) {
        const QString where =
            tr("Line %1 of %2 (key %3 in section %4)")
                .arg(QString::number(setting->line), path, fromStd(setting->key), fromStd(setting->section));
        if (setting->value.size() > kMaxValueBytes)
            return tr("%1 holds a value of %2 bytes, more than the %3 a command line takes. Nothing was "
                      "sent.")
                .arg(where, QString::number(setting->value.size()), QString::number(kMaxValueBytes));
        return tr("%1 holds \";\" or a control character, which cannot be sent. Nothing was sent.")
            .arg(where);
    }
    const unsigned routes = leadingDecimal(file.read("ROUTE", "SUM"));
    if (routes > kMaxRoutes)
        return tr("%1 lists %2 routes, more than the %3 a restore takes. Nothing was sent.")
            .arg(path, QString::number(routes), QString::number(kMaxRoutes));
    return {};
}

ConfigRestore::Result ConfigRestore::send(const std::vector<RestoreStep>& steps) {
    const int total = int(steps.size());
    for (int i = 0; i < total; ++i) {
        const RestoreStep& step = steps[std::size_t(i)];
        if (!m_progress.advance(i + 1, total, QString::fromLatin1(step.group.c_str())))
            return Result::Cancelled;
        const QueryStep& query = restoreQueryOf(step.check);
        const QueryOutcome outcome = askQuery(m_session, query, step.command);
        if (outcome || step.check == Check::None)
            continue;
        m_progress.finish();
        reportFailure(m_session, m_prompter, query, outcome);
        return outcome.kind == QueryOutcome::Kind::Silent ? Result::TimedOut : Result::SerialModeRefused;
    }
    return Result::Completed;
}

} // namespace kvx
