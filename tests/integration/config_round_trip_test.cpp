#include "core/config_backup.h"
#include "core/config_restore.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "link_session.h"
#include "recording_prompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Keeps every exchange, so that a restore's refusals can be looked at afterwards.
struct RecordingLinkSession : LinkSession {
    std::string transact(std::string_view command, int waitSeconds) override {
        std::string reply = LinkSession::transact(command, waitSeconds);
        exchanges.emplace_back(command, reply);
        return reply;
    }
    std::vector<std::pair<std::string, std::string>> exchanges;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString backUp(DeviceSession& session, const QString& path) {
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    SilentProgress progress;
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::Completed);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join(u'|').toStdString();
    return path;
}

// A device away from its defaults in every group: a Client-mode device whose server table has lost
// an entry in the middle, so that its indexes run 1, 2, 4.
void configure(LinkSession& device) {
    const char* lines[] = {
        "mode client",
        "Serv 192.168.0.30:9100 00:1B:DC:0F:C1:03",
        "Serv 192.168.0.31:9101 Till Printer",
        "DelServ 00:1B:DC:0F:C1:03",
        "Serv 10.1.2.3:4001",
        "Rept 5000",
        "Psist off",
        "Port 9300",
        "prsv on",
        "kato 900 20 5",
        "Bind 00:1B:DC:0F:B1:04 9104",
        "Bind Forklift Terminal 9105",
        "Vertex 9200 5",
        "station 00:1B:DC:0F:D1:01",
        "rs232 19200 7E2 xonoff",
        "BTName Dock Bridge 7",
        "Maxdt 4",
        "Linkto 12",
        "Scan Page",
        "Secu high",
        "Pair off",
        "pinq on 60 8 0x9E8B00",
        "route add 00:1B:DC:0F:A1:06 00:1B:DC:0F:A1:07 00:1B:DC:0F:A1:08",
    };
    for (const char* line : lines)
        ASSERT_TRUE(device.ask(line).starts_with("+OK")) << line;
    ASSERT_EQ(device.ask("Serv"), "1|00:1B:DC:0F:C1:01||192.168.0.20:9100\r\n"
                                  "2||Label Printer|192.168.0.21:9100\r\n"
                                  "4||Till Printer|192.168.0.31:9101\r\n"
                                  "+OK 10.1.2.3:4001\r\n");
}

} // namespace

TEST(ConfigRoundTrip, ABackupRestoredIntoAnotherDeviceGivesItTheSameSettings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LinkSession original;
    configure(original);
    const QString first = backUp(original, dir.filePath(QStringLiteral("first.kcf")));

    RecordingLinkSession copy;
    RecordingPrompter prompter;
    prompter.fileAnswers = {first};
    SilentProgress progress;
    EXPECT_EQ(ConfigRestore(copy, prompter, progress).run(), ConfigRestore::Result::Completed);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(copy.reconnects, 0);
    // The copy starts with the same default tables, which it keeps: only those entries are refused.
    for (const auto& [command, reply] : copy.exchanges)
        if (!reply.starts_with("+OK"))
            EXPECT_EQ(reply, "-ERR Already registered\r\n") << command;

    const QString second = backUp(copy, dir.filePath(QStringLiteral("second.kcf")));
    // The server keys carry the device's own index of each entry, and the copy numbered the entry it
    // received third as 3; everything else is the same, byte for byte.
    QByteArray expected = contents(first);
    expected.replace("4Name=Till", "3Name=Till").replace("4Server=", "3Server=");
    EXPECT_EQ(contents(second).toStdString(), expected.toStdString());

    for (const BackupQuery& query : backupQueries()) {
        const std::string command = query.command;
        const std::string word = command.substr(0, command.size() - 2);
        if (word != "serv")
            EXPECT_EQ(copy.ask(word), original.ask(word)) << word;
    }
}

// Each backup rule reads the bare value from the device's reply, so the restore line carries exactly
// what the device takes.
TEST(ConfigRoundTrip, TheRestoreLinesOfADeviceAtItsDefaults) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LinkSession device;
    const QString path = backUp(device, dir.filePath(QStringLiteral("defaults.kcf")));
    QString error;
    const std::optional<ProfileFile> file = ProfileFile::fromFile(path, error);
    ASSERT_TRUE(file.has_value()) << error.toStdString();
    const std::vector<RestoreStep> steps = restoreSteps(*file);
    std::vector<std::string> settings;
    for (const RestoreStep& step : steps)
        if (!step.command.starts_with("bind ") && !step.command.starts_with("Serv ") &&
            !step.command.starts_with("route add "))
            settings.push_back(step.command);
    const std::vector<std::string> expected = {
        "mode Server Mode;\r\n", "Port 9100;\r\n", "prsv off;\r\n", "kato 600 10 3;\r\n", "Rept 3000;\r\n",
        "psist on;\r\n", "vertex 9100 7;\r\n", "station 00:1B:DC:0F:B0:01;\r\n", "rs232 9600 8N1 none;\r\n",
        "btname KVX-Trainer;\r\n", "maxdt 7;\r\n",
        // The link timeout is read behind the first "u" and keeps the unit the Bluetooth page cuts off.
        "linkto 20 sec;\r\n", "scan inquiry page;\r\n", "secu low;\r\n", "pair on;\r\n",
        "pinq off 10 5 0x9E8B33;\r\n", "route multi;\r\n", "route manual;\r\n", "mode\r\n"};
    EXPECT_EQ(settings, expected);
    for (const std::string& line : settings)
        EXPECT_TRUE(device.transact(line, 2).starts_with("+OK")) << line;
}
