#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/device_log_fetch.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace kvx;
using namespace kvx::test;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

// Stops the procedure before the given step, as a Cancel click would.
struct StoppingProgress : ProcedureProgress {
    int stopAt = 0;
    int last = 0;
    bool finished = false;
    bool advance(int step, int, const QString&) override {
        last = step;
        return step != stopAt;
    }
    void finish() override { finished = true; }
};

std::vector<ProfileEntry> extracted(const std::string& command, std::string_view reply) {
    for (const BackupQuery& q : backupQueries())
        if (q.command == command)
            return q.extract(reply);
    ADD_FAILURE() << "no query " << command;
    return {};
}

// Every backup query answered, the first ones as a Server-mode device does; from `silentAt` (counted from
// 0) on the device no longer answers.
void scriptBackup(ScriptedSession& session, std::size_t silentAt = std::size_t(-1),
                  const std::string& serverList = "+OK\r\n") {
    const std::vector<std::string> first = {"+OK Server Mode\r\n",
                                            "+OK PORT 9100\r\n",
                                            "+OK PRSV on\r\n",
                                            "+OK KATO 600 10 3\r\n",
                                            "1||00:11:22:33:44:55|9101\r\n+OK\r\n",
                                            serverList};
    const std::vector<BackupQuery>& queries = backupQueries();
    for (std::size_t i = 0; i < queries.size() && i <= silentAt; ++i)
        session.expect(queries[i].command, 10,
                       i == silentAt      ? std::string()
                       : i < first.size() ? first[i]
                                          : std::string("+OK\r\n"));
}

std::vector<std::string> commandsOf(const std::string& fileText) {
    std::vector<std::string> out;
    for (const RestoreStep& step : restoreSteps(ProfileFile::fromText(fileText)))
        out.push_back(step.command);
    return out;
}

} // namespace

// ---- log -----------------------------------------------------------------------------------------------

TEST(DeviceLogFetch, WritesTheReplyByteForByteAndReplacesIt) {
    QTemporaryDir dir;
    ScriptedSession session;
    RecordingPrompter prompter;
    DeviceLogFetch fetch(session, prompter, dir.path());
    const std::string first("boot\r\nlink up\r\n\0raw\xff\r\n+OK\r\n", 25);
    session.expect("log\r\n", 10, first);
    session.expect("log\r\n", 10, "-ERR\r\n");
    EXPECT_EQ(fetch.run(), DeviceLogFetch::Result::Shown);
    EXPECT_EQ(contents(fetch.logPath()), QByteArray(first.data(), qsizetype(first.size())));
    EXPECT_EQ(fetch.run(), DeviceLogFetch::Result::Shown);
    EXPECT_EQ(contents(fetch.logPath()), QByteArray("-ERR\r\n"));
    EXPECT_EQ(prompter.viewed, QStringList({fetch.logPath(), fetch.logPath()}));
    EXPECT_TRUE(fetch.logPath().endsWith(QStringLiteral("/KVXLOG.TXT")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("KVXLOG.TXT")});
}

TEST(DeviceLogFetch, NoAnswerWritesNothing) {
    QTemporaryDir dir;
    ScriptedSession session;
    RecordingPrompter prompter;
    DeviceLogFetch fetch(session, prompter, dir.path());
    session.expect("log\r\n", 10, "");
    EXPECT_EQ(fetch.run(), DeviceLogFetch::Result::TimedOut);
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Log is timeout. Check Lumeno-KVX and Try again.")});
    EXPECT_EQ(session.reconnects, 1);
    EXPECT_FALSE(QFile::exists(fetch.logPath()));
    EXPECT_TRUE(prompter.viewed.isEmpty());
}

// ---- backup --------------------------------------------------------------------------------------------

TEST(ConfigBackup, ExtractionRules) {
    using E = std::vector<ProfileEntry>;
    struct Case {
        const char* command;
        std::string reply;
        E entries;
    };
    const Case cases[] = {
        {"mode\r\n", "+OK Server Mode\r\n", {{"Mode", "Server Mode\r\n"}}},
        {"port\r\n", "+OK PORT 9100\r\n", {{"Port", "9100\r\n"}}},
        {"port\r\n", "-ERR\r\n", {{"Port", ""}}},
        {"rept\r\n", "+OK every 3000\r\n", {{"Rept", "3000\r\n"}}},
        {"rept\r\n", "+OK 3000\r\n", {{"Rept", "OK 3000\r\n"}}},     // no "y": all but the first character
        {"Maxdt\r\n", "+OK MAX 7\r\n", {{"Maxdt", "OK MAX 7\r\n"}}}, // "x" is lower case only
        {"station\r\n", "+OK 00:1B:DC:0F:B0:01\r\n", {{"Station", "00:1B:DC:0F:B0:01\r\n"}}},
        {"station\r\n", "-ERR\r\n", {}},
        {"vertex\r\n", "+OK PORT 9100 MAX 7\r\n", {{"VertexPort", "9100 "}, {"VertexMax", "7\r\n"}}},
        {"rs232\r\n",
         "+OK RS232 9600 7E2 xonoff\r\n",
         {{"BaudRate", "9600"}, {"Data", "7E2"}, {"Flow", "xonoff\r\n"}}},
        {"rs232\r\n", "+OK\r\n", {{"BaudRate", ""}, {"Data", ""}, {"Flow", ""}}},
        {"Pinq\r\n",
         "+OK On  10 5 0x9E8B33\r\n",
         {{"Pinq", "On"}, {"Interval", "10"}, {"Length", "5"}, {"IAC", "0x9E8B33\r\n"}}},
        {"bind\r\n", "+OK\r\n", {{"SUM", "0\r\n"}}},
        {"bind\r\n",
         "1||00:11:22:33:44:55|9101\r\n2|Scanner||9102\r\n+OK\r\n",
         {{"0Name", "00:11:22:33:44:55"},
          {"0Port", "9101"},
          {"1Name", "Scanner"},
          {"1Port", "9102"},
          {"SUM", "2\r\n"}}},
        // A device listed by name in the address's place keeps its whole name.
        {"bind\r\n",
         "4||Handheld Scanner|9102\r\n+OK\r\n",
         {{"0Name", "Handheld Scanner"}, {"0Port", "9102"}, {"SUM", "1\r\n"}}},
        {"bind\r\n", "1|Scan", {{"0Name", "Scan"}, {"0Port", ""}, {"SUM", "1\r\n"}}}, // the reply runs out
        {"serv\r\n", "+OK 10.0.0.1:9100\r\n", {{"Client Server", "10.0.0.1:9100\r\n"}, {"SUM", "0\r\n"}}},
        {"serv\r\n", "-ERR\r\n", {{"SUM", "0\r\n"}}},
        {"serv\r\n",
         "3||00:11:22:33:44:55|10.0.0.2:1\r\n5|Kiosk||10.0.0.3:2\r\n+OK 10.0.0.1:9100\r\n",
         {{"3Name", "00:11:22:33:44:55"},
          {"3Server", "10.0.0.2:1"},
          {"5Name", "Kiosk"},
          {"5Server", "10.0.0.3:2"},
          {"Client Server", "10.0.0.1:9100\r\n"},
          {"SUM", "2\r\n"}}},
        {"route\r\n", "+OK\r\n", {{"SUM", "0"}}},
        {"route\r\n",
         "00:00:00:00:00:01 > 00:00:00:00:00:02\r\n00:00:00:00:00:01 > 00:00:00:00:00:03\r\n+OK\r\n",
         {{"0From", "00:00:00:00:00:01"},
          {"0To", "00:00:00:00:00:02"},
          {"1From", "00:00:00:00:00:01"},
          {"1To", "00:00:00:00:00:03"},
          {"SUM", "2"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extracted(c.command, c.reply), c.entries) << c.command << c.reply;
}

// Looks at a file before every command, as someone reading it while a backup runs would.
struct WatchingSession : ScriptedSession {
    std::string transact(std::string_view command, int waitSeconds) override {
        seen << contents(watched);
        return ScriptedSession::transact(command, waitSeconds);
    }
    QString watched;
    QList<QByteArray> seen;
};

// The device goes silent at the sixth query: the earlier backup stays whole throughout and afterwards,
// and the five groups read are kept beside it.
TEST(ConfigBackup, ASilentDeviceLeavesTheEarlierFileAndKeepsWhatWasReadBesideIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.kcf"));
    const QByteArray good("[MODE]\r\nMode=Client Mode\r\n\r\n");
    writeFile(path, good);
    WatchingSession session;
    session.watched = path;
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    StoppingProgress progress;
    scriptBackup(session, 5);
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::TimedOut);
    EXPECT_EQ(session.seen, QList<QByteArray>(6, good));
    EXPECT_EQ(contents(path), good);
    const QString partial = path + QStringLiteral(".partial");
    EXPECT_EQ(contents(partial),
              QByteArray("[MODE]\r\nMode=Server Mode\r\n\r\n[PORT]\r\nPort=9100\r\n\r\n"
                         "[PRSV]\r\nPrsv=on\r\n\r\n[KATO]\r\nKato=600 10 3\r\n\r\n"
                         "[BIND]\r\n0Name=00:11:22:33:44:55\r\n0Port=9101\r\nSUM=1\r\n\r\n"));
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Backup is timeout. Check Lumeno-KVX and Try again.\r\n"
                                         "The settings read so far are in ") +
                          partial + u'.'});
    EXPECT_EQ(session.reconnects, 1);
    EXPECT_TRUE(progress.finished);
}

// A reply that no query asked for, or one not in its query's form, may have shifted every reply after
// it: the backup fails there, says why and names the query, and keeps what was read beside the file.
TEST(ConfigBackup, AReplyNobodyAskedForFailsTheBackup) {
    struct Case {
        std::size_t at; // the query where it shows
        bool drained;   // the drain before it found bytes
        std::string reply;
        const char* named;
    };
    const Case cases[] = {
        {5, true, "+OK\r\n", "serv"},
        {10, false, "9600 8N1 none\r\n", "rs232"},
        {4, false, "1||Scanner|9101\r\n", "bind"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        RecordingPrompter prompter;
        prompter.fileAnswers = {dir.filePath(QStringLiteral("b.kcf"))};
        SilentProgress progress;
        ScriptedSession scripted;
        const std::vector<BackupQuery>& queries = backupQueries();
        for (std::size_t i = 0; i < c.at; ++i)
            scripted.expect(queries[i].command, 10, i == 4 ? "1||Scanner|9101\r\n+OK\r\n" : "+OK x\r\n");
        if (c.drained)
            scripted.expectAfterUnasked(queries[c.at].command, 10, c.reply);
        else
            scripted.expect(queries[c.at].command, 10, c.reply);
        EXPECT_EQ(ConfigBackup(scripted, prompter, progress).run(), ConfigBackup::Result::Unasked) << c.named;
        EXPECT_TRUE(scripted.done()) << c.named;
        ASSERT_EQ(prompter.messages.size(), 1) << c.named;
        EXPECT_TRUE(prompter.messages[0].startsWith(
            QStringLiteral("A reply came that no command asked for (seen at \"%1\")")
                .arg(QLatin1String(c.named))))
            << prompter.messages[0].toStdString();
        EXPECT_TRUE(prompter.messages[0].contains(QStringLiteral(".partial"))) << c.named;
        EXPECT_EQ(scripted.reconnects, 0) << c.named;
    }
}

// The file cannot be created, or the device lists more than a file holds.
TEST(ConfigBackup, FileFaults) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QString path;
        ConfigBackup::Result result;
        std::size_t sent;
        QString message; // the start of it; the system's own words are not compared
        std::string servers = "+OK\r\n";
    };
    const QString missing = dir.filePath(QStringLiteral("missing/b.kcf"));
    std::string servers;
    for (std::size_t n = 0; n <= ProfileFile::kMaxKeys / 2; ++n)
        servers += std::to_string(n) + "|Kiosk||10.0.0.3:2\r\n";
    const QString large = dir.filePath(QStringLiteral("large.kcf"));
    const Case cases[] = {
        {"no folder", missing, ConfigBackup::Result::NotCreated, 0,
         QStringLiteral("The file cannot be written: ") + missing + QStringLiteral(": ")},
        {"more than a file holds", large, ConfigBackup::Result::NotWritten, 6,
         QStringLiteral("The SERV settings of the device do not fit into a configuration file.\r\nThe "
                        "settings read so far are in ") +
             large + QStringLiteral(".partial."),
         servers + "+OK\r\n"},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        prompter.fileAnswers = {c.path};
        SilentProgress progress;
        if (c.sent != 0)
            scriptBackup(session, std::size_t(-1), c.servers);
        EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), c.result) << c.name;
        EXPECT_EQ(session.sent.size(), c.sent) << c.name;
        ASSERT_EQ(prompter.messages.size(), 1) << c.name;
        EXPECT_TRUE(prompter.messages[0].startsWith(c.message)) << prompter.messages[0].toStdString();
        EXPECT_EQ(session.reconnects, 0) << c.name;
    }
    EXPECT_FALSE(QFile::exists(large));
}

TEST(ConfigBackup, CancelEndsBeforeAnythingIsTouched) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.kcf"));
    ScriptedSession session;
    RecordingPrompter prompter;
    StoppingProgress progress;
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::Cancelled);
    EXPECT_TRUE(session.sent.empty());

    // Cancel in the progress window stops after the command under way.
    prompter.fileAnswers = {path};
    progress.stopAt = 3;
    session.expect("mode\r\n", 10, "+OK Server Mode\r\n");
    session.expect("port\r\n", 10, "+OK PORT 9100\r\n");
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::Cancelled);
    EXPECT_TRUE(session.done());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(session.reconnects, 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// ---- restore -------------------------------------------------------------------------------------------

TEST(ConfigRestore, ModeLines) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> first;
    };
    const Case cases[] = {
        {"server", "[MODE]\r\nMode=Server Mode\r\n", {"mode Server Mode;\r\n", "Port ;\r\n"}},
        {"serial hub", "[MODE]\r\nMode=Serial Hub Mode\r\n", {"mode hub;\r\n", "Port ;\r\n"}},
        {"client",
         "[MODE]\r\nMode=Client Mode\r\n[SERV]\r\nClient Server=10.0.0.1:9100\r\n",
         {"serv 10.0.0.1:9100;\r\n", "mode client;\r\n", "mode Client Mode;\r\n", "Port ;\r\n"}},
        {"repeater",
         "[MODE]\r\nMode=Repeater Mode\r\n[STATION]\r\nStation=00:11:22:33:44:55\r\n",
         {"station 00:11:22:33:44:55;\r\n", "mode repeater;\r\n", "mode Repeater Mode;\r\n", "Port ;\r\n"}},
        {"rs232", "[MODE]\r\nMode=RS232 Mode\r\n", {"mode RS232;\r\n", "mode RS232 Mode;\r\n", "Port ;\r\n"}},
        {"empty file", "", {"mode ;\r\n", "Port ;\r\n"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> all = commandsOf(c.file);
        EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + std::ptrdiff_t(c.first.size())),
                  c.first)
            << c.name;
    }
}

TEST(ConfigRestore, ListsAndSettings) {
    const std::string sixty(60, '7');
    const std::vector<std::string> commands = commandsOf(
        "[MODE]\r\nMode=Vertex "
        "Mode\r\n[BIND]\r\n0Name=Scanner\r\n0Port=9101\r\n1Name=x\r\n1Port=9\r\nSUM=1\r\n"
        "[SERV]\r\n3Name=A\r\n3Server=10.0.0.2:1\r\n7Name=B\r\n7Server=10.0.0.3:2\r\n9Name=orphan\r\n"
        "Client Server=10.0.0.1:9100\r\nSUM=2\r\n"
        "[VERTEX]\r\nVertexPort=9100 \r\nVertexMax=7\r\n\r\n[BTNAME]\r\nBtname=" +
        sixty +
        "\r\n"
        "[ROUTE]\r\n0From=X\r\n0To=Y\r\n1From=X\r\n1To=Z\r\n2From=W\r\n2To=Y\r\nSUM=3");
    const std::vector<std::string> expected = {
        "mode Vertex Mode;\r\n", "Port ;\r\n", "prsv ;\r\n", "kato ;\r\n", "bind Scanner 9101;\r\n",
        // Every Name/Server pair, whatever its number and whatever SUM says.
        "Serv 10.0.0.2:1 A;\r\n", "Serv 10.0.0.3:2 B;\r\n", "Rept ;\r\n", "psist ;\r\n", "vertex 9100 7;\r\n",
        "station ;\r\n", "rs232   ;\r\n", "btname " + sixty + ";\r\n", "maxdt ;\r\n", "linkto ;\r\n",
        "scan ;\r\n", "secu ;\r\n", "pair ;\r\n", "pinq    ;\r\n", "route multi;\r\n", "route manual;\r\n",
        "route add X Y Z;\r\n", "route add X Y Z;\r\n", "route add W Y;\r\n", "mode\r\n"};
    EXPECT_EQ(commands, expected);
}

TEST(ConfigRestore, ADamagedSumIsBoundedByTheKeysPresent) {
    const std::vector<std::string> commands =
        commandsOf("[BIND]\r\nSUM=4294967295\r\n[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=99999999999\r\n");
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "bind  ;\r\n"), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "route add X Y;\r\n"), 1);
}

// A good file buried in damage up to the size bound: sections and keys past what a backup holds are
// passed over, so the restore sends what the good part gives, in memory bounded by the reader's limits.
TEST(ConfigRestore, AHugeDamagedFileSendsWhatItsGoodPartGives) {
    const std::string good =
        "[MODE]\r\nMode=Server Mode\r\n[BIND]\r\n0Name=Scanner\r\n0Port=9101\r\nSUM=1\r\n"
        "[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=1";
    std::string block;
    for (int i = 0; block.size() < 65536; ++i)
        block += "\r\n[Junk" + std::to_string(i) + "]\r\n[BIND]\r\n" + std::to_string(i) +
                 "Name=junk\r\nSUM=999\r\n[ROUTE]\r\n" + std::to_string(i) + "From=Q\r\n" +
                 std::string("\0\xff\x01=\n", 5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.kcf"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(good.data(), qint64(good.size()));
        for (qint64 written = qint64(good.size());
             written + qint64(block.size()) <= ProfileFile::kMaxFileBytes; written += qint64(block.size()))
            file.write(block.data(), qint64(block.size()));
    }
    QString error;
    const std::optional<ProfileFile> file = ProfileFile::fromFile(path, error);
    ASSERT_TRUE(file.has_value()) << error.toStdString();
    EXPECT_EQ(restoreSteps(*file), restoreSteps(ProfileFile::fromText(good)));
}

// Files that are not a configuration a backup could have written are refused before any setting is sent.
TEST(ConfigRestore, FilesThatAreRefusedSendNothing) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder.kcf"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.kcf")));
    const QString huge = dir.filePath(QStringLiteral("huge.kcf"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.resize(ProfileFile::kMaxFileBytes + 1);
    }
    const QString missing = dir.filePath(QStringLiteral("missing.kcf"));
    const auto named = [&](const char* name, const std::string& text) {
        const QString path = dir.filePath(QLatin1String(name));
        writeFile(path, QByteArray(text.data(), qsizetype(text.size())));
        return path;
    };
    const QString commands = named("commands.kcf", "[PRSV]\r\nPrsv=1;Reboot;DelServ 0;\r\n");
    const QString nul = named("zero-byte.kcf", std::string("[PORT]\r\nPort=9000\0Reboot;;\r\n", 28));
    const QString escape = named("escape.kcf", "[BIND]\r\n0Name=Scan\x1b[2Jner\r\n0Port=9101\r\nSUM=1\r\n");
    const QString routes = named("routes.kcf", "[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=501");
    const QString longValue = named("long.kcf", "[BTNAME]\r\nBtname=" + std::string(1025, 'n') + "\r\n");
    std::string bound = "[BIND]\r\n";
    for (std::size_t n = 0; n < ProfileFile::kMaxKeys / 2; ++n)
        bound += std::to_string(n) + "Name=A\r\n" + std::to_string(n) + "Port=9\r\n";
    const QString lostSum = named("lost-sum.kcf", bound + "SUM=2048\r\n");
    const QString fits = named("fits.kcf", "[BTNAME]\r\nBtname=Dock Br\xc3\xbc"
                                           "cke 7\r\n[ROUTE]\r\nSUM=500");
    const QString cannotRead = QStringLiteral("The file cannot be read: ");
    const QString unsendable =
        QStringLiteral(" holds \";\" or a control character, which cannot be sent. Nothing was sent.");
    const auto line = [](int number, const QString& path, const char* where) {
        return QStringLiteral("Line %1 of %2 (%3)").arg(number).arg(path, QLatin1String(where));
    };
    using R = ConfigRestore::Result;
    struct Case {
        QString path;
        R result;
        QString message; // the start of it; the system's own words are not compared
    };
    const Case cases[] = {
        {folder, R::NotRead, cannotRead + folder + QStringLiteral(": not a regular file")},
        {huge, R::NotRead, cannotRead + huge + QStringLiteral(": larger than 4194304 bytes")},
        {missing, R::NotRead, cannotRead + missing + QStringLiteral(": ")},
        {commands, R::Refused, line(2, commands, "key Prsv in section PRSV") + unsendable},
        {nul, R::Refused, line(2, nul, "key Port in section PORT") + unsendable},
        {escape, R::Refused, line(2, escape, "key 0Name in section BIND") + unsendable},
        {routes, R::Refused,
         routes + QStringLiteral(" lists 501 routes, more than the 500 a restore takes. Nothing was sent.")},
        {longValue, R::Refused,
         line(2, longValue, "key Btname in section BTNAME") +
             QStringLiteral(" holds a value of 1025 bytes, more than the 1024 a command line takes. Nothing "
                            "was sent.")},
        {lostSum, R::Refused,
         lostSum + QStringLiteral(" holds more sections or keys than a configuration file can (64 sections, "
                                  "4096 keys a section). Nothing was sent.")},
        // Anything else goes on to the first setting.
        {fits, R::TimedOut, QStringLiteral("Restore is timeout. Check Lumeno-KVX and Try again.")},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        prompter.fileAnswers = {c.path};
        StoppingProgress progress;
        session.expect("list\r\n", 3, "+OK\r\n");
        if (c.path == fits)
            session.expect("mode ;\r\n", 10, "");
        EXPECT_EQ(ConfigRestore(session, prompter, progress).run(), c.result) << c.path.toStdString();
        ASSERT_EQ(prompter.messages.size(), 1) << c.path.toStdString();
        EXPECT_TRUE(prompter.messages[0].startsWith(c.message)) << prompter.messages[0].toStdString();
        EXPECT_TRUE(session.done()) << c.path.toStdString();
    }
}

TEST(ConfigRestore, RefusalsAndFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.kcf"));
    writeFile(path, "[MODE]\r\nMode=RS232 Mode\r\n");
    const QString timeout = QStringLiteral("Restore is timeout. Check Lumeno-KVX and Try again.");
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> script; // after "list"
        std::string listReply;
        ConfigRestore::Result result;
        QString message;
        int reconnects;
    };
    const Case cases[] = {
        {"connection active",
         {},
         "-ERR\r\n",
         ConfigRestore::Result::ConnectionActive,
         QStringLiteral("You can't restore while bluetooth serial connected."),
         0},
        {"no list answer",
         {},
         "",
         ConfigRestore::Result::ConnectionActive,
         QStringLiteral("You can't restore while bluetooth serial connected."),
         0},
        {"rs232 refused",
         {{"mode RS232;\r\n", "-ERR\r\n"}},
         "+OK\r\n",
         ConfigRestore::Result::SerialModeRefused,
         QStringLiteral(
             "Restore Failed!\r\nTo set Lumeno-KVX to RS232 mode, user need to change the Consolue "
             "switch to data mode.\r\nAfter changing the data mode, please restart Lumeno-KVX."),
         0},
        {"guarded silence",
         {{"mode RS232;\r\n", "+OK\r\n"}, {"mode RS232 Mode;\r\n", ""}},
         "+OK\r\n",
         ConfigRestore::Result::TimedOut,
         timeout,
         1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        RecordingPrompter prompter;
        prompter.fileAnswers = {path};
        StoppingProgress progress;
        session.expect("list\r\n", 3, c.listReply);
        for (const auto& [command, reply] : c.script)
            session.expect(command, 10, reply);
        EXPECT_EQ(ConfigRestore(session, prompter, progress).run(), c.result) << c.name;
        EXPECT_EQ(prompter.messages, QStringList{c.message}) << c.name;
        EXPECT_EQ(session.reconnects, c.reconnects) << c.name;
        EXPECT_TRUE(session.done()) << c.name;
        // The refused check shows no file dialog.
        EXPECT_EQ(prompter.fileAnswers.empty(), c.result != ConfigRestore::Result::ConnectionActive)
            << c.name;
    }
}

TEST(ConfigRestore, ASilentRouteAdditionKeepsTheConnection) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.kcf"));
    const char* const text = "[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=1";
    writeFile(path, text);
    ScriptedSession session;
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    StoppingProgress progress;
    session.expect("list\r\n", 3, "+OK\r\n");
    const std::vector<RestoreStep> steps = restoreSteps(ProfileFile::fromText(text));
    for (const RestoreStep& step : steps)
        if (step.command != "mode\r\n")
            session.expect(step.command, 10, step.command.starts_with("route add") ? "" : "-ERR\r\n");
    EXPECT_EQ(ConfigRestore(session, prompter, progress).run(), ConfigRestore::Result::TimedOut);
    EXPECT_EQ(session.reconnects, 0);
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(session.done());
}

TEST(ConfigRestore, CancelSendsNothing) {
    ScriptedSession session;
    RecordingPrompter prompter;
    StoppingProgress progress;
    session.expect("list\r\n", 3, "+OK\r\n");
    EXPECT_EQ(ConfigRestore(session, prompter, progress).run(), ConfigRestore::Result::Cancelled);
    EXPECT_EQ(session.sent.size(), 1u);
}
