#include "config_backup.h"

#include "core/config_queries.h"
#include "core/device_session.h"
#include "core/file_io.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "core/prompter.h"
#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

using Entries = std::vector<ProfileEntry>;

std::string_view from(std::string_view text, std::size_t position) {
    return text.substr(std::min(position, text.size()));
}

std::string_view dropped(std::string_view reply, std::size_t count) {
    return from(reply, count);
}

// Everything after the first `marker` and the one character behind it; without the marker, all but the
// first character.
std::string_view after(std::string_view reply, char marker) {
    const std::size_t position = reply.find(marker);
    return from(reply, position == std::string_view::npos ? 1 : position + 2);
}

// Up to the next blank, and what follows that blank.
std::pair<std::string_view, std::string_view> word(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

// The next line of a list reply (up to, not including, its LF) and what follows it.
std::pair<std::string_view, std::string_view> line(std::string_view text) {
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, lf), text.substr(lf + 1)};
}

Entries single(const char* key, std::string_view value) {
    return {{key, std::string(value)}};
}

// The data port, whole (five digits are as good as four), up to the line's end.
std::string_view portField(std::string_view text) {
    return beforeLineEnd(text);
}

// A reply that runs out before its "+OK" line ends the walk with the entries read so far.
Entries boundDevices(std::string_view reply) {
    Entries out;
    int n = 0;
    for (std::string_view rest = reply; !rest.empty() && !rest.starts_with("+OK"); ++n) {
        const auto [text, next] = line(rest);
        rest = next;
        const std::size_t bar = text.find('|');
        const std::string_view r = bar == std::string_view::npos ? std::string_view{} : text.substr(bar);
        std::string_view name;
        std::string_view port;
        if (r.starts_with("||")) {
            // Usually an address of 17 characters; a device listed by its name has the name here, so
            // the field runs to the next "|" and the port follows it.
            const std::size_t third = r.find('|', 2);
            name = from(r, 2).substr(0, third == std::string_view::npos ? std::string_view::npos : third - 2);
            port = third == std::string_view::npos ? std::string_view{} : portField(from(r, third + 1));
        } else {
            const std::size_t second = r.find('|', 1);
            name =
                from(r, 1).substr(0, second == std::string_view::npos ? std::string_view::npos : second - 1);
            port = second == std::string_view::npos ? std::string_view{} : portField(from(r, second + 2));
        }
        const std::string number = std::to_string(n);
        out.push_back({number + "Name", std::string(name)});
        out.push_back({number + "Port", std::string(port)});
    }
    out.push_back({"SUM", std::to_string(n) + "\r\n"});
    return out;
}

Entries servers(std::string_view reply) {
    Entries out;
    int count = 0;
    std::string_view rest = reply;
    while (!rest.empty() && !rest.starts_with("+OK") && !rest.starts_with("-ERR")) {
        const auto [text, next] = line(rest);
        rest = next;
        const std::size_t p = text.find('|');
        // A line without fields names no entry; its text would make a broken key.
        if (p == std::string_view::npos)
            continue;
        const std::string first(text.substr(0, p));
        std::string_view name;
        std::string_view server;
        if (from(text, p).starts_with("||")) {
            const std::string_view fields = from(text, p + 2);
            const std::size_t bar = fields.find('|');
            name = fields.substr(0, bar);
            server = bar == std::string_view::npos ? std::string_view{} : from(fields, bar + 1);
        } else {
            const std::size_t second = text.find('|', p + 1);
            name = text.substr(p + 1,
                               second == std::string_view::npos ? std::string_view::npos : second - p - 1);
            server = second == std::string_view::npos ? std::string_view{} : from(text, second + 2);
        }
        server = server.substr(0, server.find('\r'));
        out.push_back({first + "Name", std::string(name)});
        out.push_back({first + "Server", std::string(server)});
        ++count;
    }
    // The host stands behind the "+OK" that closes the list; an entry's name may hold a "K" itself.
    if (!reply.starts_with("-ERR"))
        out.push_back({"Client Server", std::string(after(rest.starts_with("+OK") ? rest : reply, 'K'))});
    out.push_back({"SUM", std::to_string(count) + "\r\n"});
    return out;
}

Entries vertex(std::string_view reply) {
    const std::string_view t = after(reply, 'T');
    return {{"VertexPort", std::string(t.substr(0, t.find('M')))}, {"VertexMax", std::string(after(t, 'X'))}};
}

Entries serialPort(std::string_view reply) {
    const auto [baud, afterBaud] = word(word(after(reply, 'K')).second);
    const auto [data, flow] = word(afterBaud);
    return {{"BaudRate", std::string(baud)}, {"Data", std::string(data)}, {"Flow", std::string(flow)}};
}

Entries periodicInquiry(std::string_view reply) {
    const std::string_view t = after(reply, 'K');
    const std::size_t blank = t.find(' ');
    const std::string_view pinq = t.substr(0, blank);
    const auto [interval, afterInterval] =
        word(blank == std::string_view::npos ? std::string_view{} : from(t, blank + 2));
    const auto [length, accessCode] = word(afterInterval);
    return {{"Pinq", std::string(pinq)},
            {"Interval", std::string(interval)},
            {"Length", std::string(length)},
            {"IAC", std::string(accessCode)}};
}

Entries routes(std::string_view reply) {
    Entries out;
    int n = 0;
    for (std::string_view rest = reply; !rest.empty() && !rest.starts_with("+OK"); ++n) {
        const auto [text, next] = line(rest);
        rest = next;
        const std::string number = std::to_string(n);
        out.push_back({number + "From", std::string(text.substr(0, 17))});
        out.push_back({number + "To", std::string(from(text, 20).substr(0, 17))});
    }
    out.push_back({"SUM", std::to_string(n)});
    return out;
}

} // namespace

QString configFileFilter() {
    return QCoreApplication::translate("ConfigBackup", "kcf Files(*.kcf);;All Files(*.*)");
}

const std::vector<BackupQuery>& backupQueries() {
    // clang-format off
    static const std::vector<BackupQuery> queries = {
        {"mode\r\n", "MODE", [](std::string_view r) { return single("Mode", dropped(r, 4)); }},
        {"port\r\n", "PORT", [](std::string_view r) { return single("Port", dropped(r, 9)); }},
        {"prsv\r\n", "PRSV", [](std::string_view r) { return single("Prsv", dropped(r, 9)); }},
        {"kato\r\n", "KATO", [](std::string_view r) { return single("Kato", dropped(r, 9)); }},
        {"bind\r\n", "BIND", boundDevices, true},
        {"serv\r\n", "SERV", servers, true},
        {"rept\r\n", "REPT", [](std::string_view r) { return single("Rept", after(r, 'y')); }},
        {"psist\r\n", "PSIST", [](std::string_view r) { return single("Psist", after(r, 'T')); }},
        {"vertex\r\n", "VERTEX", vertex},
        {"station\r\n", "STATION", [](std::string_view r) {
             return startsWithOk(r) ? single("Station", after(r, 'K')) : Entries{};
         }},
        {"rs232\r\n", "RS232", serialPort},
        {"BTName\r\n", "BTNAME", [](std::string_view r) { return single("Btname", after(r, 'K')); }},
        {"Maxdt\r\n", "MAXDT", [](std::string_view r) { return single("Maxdt", after(r, 'x')); }},
        {"Linkto\r\n", "LINKTO", [](std::string_view r) { return single("Timeout", after(r, 'u')); }},
        {"Scan\r\n", "SCAN", [](std::string_view r) { return single("Scan", after(r, 'K')); }},
        {"Secu\r\n", "SECU", [](std::string_view r) { return single("Level", after(r, 'K')); }},
        {"Pair\r\n", "PAIR", [](std::string_view r) { return single("Pair", after(r, 'K')); }},
        {"Pinq\r\n", "PINQ", periodicInquiry},
        {"route\r\n", "ROUTE", routes, true},
    };
    // clang-format on
    return queries;
}

ConfigBackup::ConfigBackup(DeviceSession& session, Prompter& prompter, ProcedureProgress& progress)
    : m_session(session)
    , m_prompter(prompter)
    , m_progress(progress) {}

ConfigBackup::Result ConfigBackup::run() {
    const QString path =
        m_prompter.saveFileName(configFileFilter(), QStringLiteral("*.kcf"), QStringLiteral("kcf"));
    if (path.isEmpty())
        return Result::Cancelled;
    // A folder that takes no file is known before the device is asked anything; an earlier backup at
    // the path stays as it is until this one is complete.
    NewFileBeside file(path);
    QString error;
    if (!file.create(error)) {
        m_prompter.message(tr("The file cannot be written: %1").arg(error));
        return Result::NotCreated;
    }
    return write(file, path);
}

ConfigBackup::Result ConfigBackup::write(NewFileBeside& file, const QString& path) {
    ProfileFile profile;
    const Result read =
        readInto(profile, [&](const ProfileFile& partial) { return keepPartial(file, partial, path); });
    if (read != Result::Completed)
        return read;
    QString error;
    if (!file.commit((m_header ? m_header(profile) : std::string()) + profile.text(), path, error)) {
        m_prompter.message(tr("The file cannot be written: %1").arg(error));
        return Result::NotWritten;
    }
    return Result::Completed;
}

ConfigBackup::Result ConfigBackup::read(ProfileFile& profile) {
    return readInto(profile, [](const ProfileFile&) { return QString(); });
}

ConfigBackup::Result ConfigBackup::readInto(ProfileFile& profile,
                                            const std::function<QString(const ProfileFile&)>& keepRead) {
    const std::vector<BackupQuery>& queries = backupQueries();
    const int total = int(queries.size());
    Reading reading(m_session);
    for (int i = 0; i < total; ++i) {
        const BackupQuery& query = queries[std::size_t(i)];
        const QString group = QString::fromLatin1(query.section);
        if (!m_progress.advance(i + 1, total, group)) {
            m_progress.finish();
            return Result::Cancelled;
        }
        QueryOutcome outcome = askQuery(m_session, kBackupQuery, query.command);
        // A reply not in its answer's form is most likely a line that no command asked for.
        if (outcome && !(query.list ? isListReply(outcome.reply) : isValueReply(outcome.reply)))
            outcome.kind = QueryOutcome::Kind::Unasked;
        if (!outcome) {
            m_progress.finish();
            reportFailure(m_session, m_prompter, kBackupQuery, outcome, keepRead(profile));
            return outcome.kind == QueryOutcome::Kind::Unasked ? Result::Unasked : Result::TimedOut;
        }
        for (const ProfileEntry& entry : query.extract(outcome.reply)) {
            if (!profile.write(query.section, entry.key, entry.value)) {
                m_progress.finish();
                const QString kept = keepRead(profile);
                m_prompter.message(
                    tr("The %1 settings of the device do not fit into a configuration file.").arg(group) +
                    (kept.isEmpty() ? QString() : QStringLiteral("\r\n") + kept));
                return Result::NotWritten;
            }
        }
    }
    m_progress.finish();
    if (!reading.finish()) {
        reportFailure(m_session, m_prompter, kBackupQuery,
                      {QueryOutcome::Kind::Unasked, {}, queries.back().command}, keepRead(profile));
        return Result::Unasked;
    }
    return Result::Completed;
}

// What was read goes into a file of its own beside the target, which keeps the last complete backup;
// the second line of the failure's message says where.
QString ConfigBackup::keepPartial(NewFileBeside& file, const ProfileFile& profile, const QString& path) {
    const QString partial = path + QStringLiteral(".partial");
    QString error;
    return file.commit(profile.text(), partial, error)
               ? tr("The settings read so far are in %1.").arg(partial)
               : tr("The file cannot be written: %1").arg(error);
}

} // namespace kvx
