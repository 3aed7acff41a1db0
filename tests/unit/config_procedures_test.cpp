#include "config/config_backup.h"
#include "config/config_restore.h"
#include "config/device_log_fetch.h"
#include "config/procedure_progress.h"
#include "config/profile_file.h"
#include "recording_prompter.h"
#include "scripted_session.h"

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

TEST(DeviceLogFetch, ALinkAtTheNameIsReplacedNotFollowed) {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    writeFile(victim, "keep");
    ScriptedSession session;
    RecordingPrompter prompter;
    DeviceLogFetch fetch(session, prompter, dir.path());
    ASSERT_TRUE(QFile::link(victim, fetch.logPath()));
    session.expect("log\r\n", 10, "+OK\r\n");
    EXPECT_EQ(fetch.run(), DeviceLogFetch::Result::Shown);
    EXPECT_EQ(contents(victim), QByteArray("keep"));
    EXPECT_FALSE(QFileInfo(fetch.logPath()).isSymLink());
    EXPECT_EQ(contents(fetch.logPath()), QByteArray("+OK\r\n"));
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

TEST(ConfigBackup, AFailureAtTheFifthQueryLeavesFourSections) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.kcf"));
    writeFile(path, "[OLD]\r\nk=1\r\n");
    ScriptedSession session;
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    StoppingProgress progress;
    session.expect("mode\r\n", 10, "+OK Server Mode\r\n");
    session.expect("port\r\n", 10, "+OK PORT 9100\r\n");
    session.expect("prsv\r\n", 10, "+OK PRSV on\r\n");
    session.expect("kato\r\n", 10, "+OK KATO 600 10 3\r\n");
    session.expect("bind\r\n", 10, "");
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::TimedOut);
    EXPECT_EQ(contents(path), QByteArray("[MODE]\r\nMode=Server Mode\r\n\r\n[PORT]\r\nPort=9100\r\n\r\n"
                                         "[PRSV]\r\nPrsv=on\r\n\r\n[KATO]\r\nKato=600 10 3\r\n\r\n"));
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Backup is timeout. Check Lumeno-KVX and Try again.")});
    EXPECT_EQ(session.reconnects, 1);
    EXPECT_TRUE(progress.finished);
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
        "station ;\r\n", "rs232   ;\r\n", "btname " + sixty.substr(0, 49) + ";\r\n", "maxdt ;\r\n",
        "linkto ;\r\n", "scan ;\r\n", "secu ;\r\n", "pair ;\r\n", "pinq    ;\r\n", "route multi;\r\n",
        "route manual;\r\n", "route add X Y Z;\r\n", "route add X Y Z;\r\n", "route add W Y;\r\n",
        "mode\r\n"};
    EXPECT_EQ(commands, expected);
}

TEST(ConfigRestore, ADamagedSumIsBoundedByTheKeysPresent) {
    const std::vector<std::string> commands =
        commandsOf("[BIND]\r\nSUM=4294967295\r\n[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=99999999999\r\n");
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "bind  ;\r\n"), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "route add X Y;\r\n"), 1);
}

// A good file buried in 100 MB of damage: sections and keys past what a backup holds are passed over,
// so the restore sends what the good part gives, in memory bounded by the reader's limits.
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
        for (std::size_t written = 0; written < 100u << 20; written += block.size())
            file.write(block.data(), qint64(block.size()));
    }
    EXPECT_EQ(restoreSteps(ProfileFile(path)), restoreSteps(ProfileFile::fromText(good)));
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
    writeFile(path, "[ROUTE]\r\n0From=X\r\n0To=Y\r\nSUM=1");
    ScriptedSession session;
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    StoppingProgress progress;
    session.expect("list\r\n", 3, "+OK\r\n");
    const std::vector<RestoreStep> steps = restoreSteps(ProfileFile(path));
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
