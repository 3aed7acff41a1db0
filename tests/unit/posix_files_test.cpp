// What the file code does with what only POSIX has: symbolic links, FIFOs and devices, owners and
// permission bits, and a disk that fills up (a file size limit stands in for it).
#include "core/config_backup.h"
#include "core/device_log_fetch.h"
#include "core/file_io.h"
#include "core/procedure_progress.h"
#include "core/profile_file.h"
#include "core/transcript_file.h"
#include "ctl/invocation.h"
#include "recording_prompter.h"
#include "scripted_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// A disk that fills up after `bytes` bytes of any one file: writes beyond it fail with EFBIG instead of
// killing the process. In force for the object's lifetime.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_previousHandler)(int);
    rlimit m_saved{};
};

void put(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void makeFifo(const QString& path) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

// Every backup query answered, the server list as given.
void answerBackup(ScriptedSession& session, const std::string& serverList = "+OK\r\n") {
    for (const BackupQuery& q : backupQueries())
        session.expect(q.command, 10,
                       std::string_view(q.command) == "serv\r\n" ? serverList : std::string("+OK\r\n"));
}

// What the process has handed to write() so far.
qint64 bytesWritten() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (io.open(QIODevice::ReadOnly))
        for (QByteArray line = io.readLine(); !line.isEmpty(); line = io.readLine())
            if (line.startsWith("wchar:"))
                return line.mid(6).trimmed().toLongLong();
    ADD_FAILURE() << "no /proc/self/io";
    return 0;
}

} // namespace

// ---- reading and replacing -----------------------------------------------------------------------------

TEST(FileIo, ALinkIsFollowedButNoFifoOrDeviceIsRead) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good"));
    put(good, "12345");
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(good, link));
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    makeFifo(fifo);
    const std::pair<QString, std::optional<QByteArray>> cases[] = {
        {link, QByteArray("12345")},
        {fifo, std::nullopt},
        {QStringLiteral("/dev/zero"), std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        QString error;
        EXPECT_EQ(readRegularFile(path, 5, error), expected) << path.toStdString();
        EXPECT_EQ(error, expected ? QString() : path + QStringLiteral(": not a regular file"));
    }
}

TEST(FileIo, ReplacingPutsANewFileWhereALinkStood) {
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other"));
    const QString path = dir.filePath(QStringLiteral("out.kcf"));
    put(other, "precious");
    ASSERT_TRUE(QFile::link(other, path));
    QString error;
    ASSERT_TRUE(replaceFile(path, "new", error)) << error.toStdString();
    EXPECT_EQ(contents(other), "precious");
    EXPECT_EQ(contents(path), "new");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
}

// A disk that fills up mid-write leaves the old file as it was and no stray new file beside it.
TEST(FileIo, AWriteTheDiskRefusesLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.kcf"));
    put(path, "old");
    QString error;
    bool written = true;
    {
        const FileSizeLimit limit(100);
        written = replaceFile(path, std::string(1000, 'x'), error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// ---- the device log and the backup ---------------------------------------------------------------------

TEST(DeviceLogFetch, ALinkAtTheNameIsReplacedNotFollowed) {
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    put(victim, "keep");
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

TEST(DeviceLogFetch, AFullDiskIsReported) {
    QTemporaryDir dir;
    ScriptedSession session;
    RecordingPrompter prompter;
    DeviceLogFetch fetch(session, prompter, dir.path());
    session.expect("log\r\n", 10, "boot\r\nlink up\r\n+OK\r\n");
    const FileSizeLimit limit(4);
    EXPECT_EQ(fetch.run(), DeviceLogFetch::Result::NotWritten);
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.value(0).startsWith(QStringLiteral("The file cannot be written: ") +
                                                      fetch.logPath()))
        << prompter.messages.value(0).toStdString();
    EXPECT_TRUE(prompter.viewed.isEmpty());
}

// A device that lists one server entry thousands of times: the file is built in memory and written
// once, not rewritten for every key.
TEST(ConfigBackup, TheFileIsWrittenOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.kcf"));
    std::string servers;
    for (int i = 0; i < 2000; ++i)
        servers += "1|Kiosk||10.0.0.3:2\r\n";
    ScriptedSession session;
    RecordingPrompter prompter;
    prompter.fileAnswers = {path};
    SilentProgress progress;
    answerBackup(session, servers + "+OK 10.0.0.1:9100\r\n");
    const qint64 before = bytesWritten();
    EXPECT_EQ(ConfigBackup(session, prompter, progress).run(), ConfigBackup::Result::Completed);
    const qint64 written = bytesWritten() - before;
    EXPECT_EQ(ProfileFile::fromText(contents(path).toStdString()).read("SERV", "1Server"), "10.0.0.3:2");
    EXPECT_LT(written, 2 * contents(path).size());
}

// The disk fills up (the earlier file stays whole), or a link stands at the name (it is replaced, what
// it pointed to is kept).
TEST(ConfigBackup, AFullDiskOrALinkAtTheName) {
    QTemporaryDir dir;
    const QByteArray good("[MODE]\r\nMode=Client Mode\r\n\r\n");
    const QString full = dir.filePath(QStringLiteral("full.kcf"));
    put(full, good);
    const QString victim = dir.filePath(QStringLiteral("victim"));
    put(victim, "precious");
    const QString link = dir.filePath(QStringLiteral("link.kcf"));
    ASSERT_TRUE(QFile::link(victim, link));
    for (const QString& path : {full, link}) {
        ScriptedSession session;
        RecordingPrompter prompter;
        prompter.fileAnswers = {path};
        SilentProgress progress;
        answerBackup(session);
        {
            std::optional<FileSizeLimit> limit;
            if (path == full)
                limit.emplace(10);
            EXPECT_EQ(ConfigBackup(session, prompter, progress).run(),
                      path == full ? ConfigBackup::Result::NotWritten : ConfigBackup::Result::Completed);
        }
        EXPECT_TRUE(session.done()) << path.toStdString();
        EXPECT_EQ(prompter.messages.size(), path == full ? 1 : 0);
        EXPECT_TRUE(prompter.messages.value(0).startsWith(
            path == full ? QStringLiteral("The file cannot be written: ") + full + QStringLiteral(": ")
                         : QString()))
            << prompter.messages.value(0).toStdString();
    }
    EXPECT_EQ(contents(full), good);
    EXPECT_EQ(contents(victim), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(contents(link).startsWith("[MODE]\r\n"));
}

// ---- the password file ---------------------------------------------------------------------------------

// Only a file that nobody but its owner, the user running kvx100ctl, can read or change.
TEST(PasswordFile, OnlyAPrivateFileOfTheUserIsRead) {
    const QTemporaryDir dir;
    const QByteArray secret = QFile::encodeName(dir.filePath(QStringLiteral("secret")));
    const auto made = [&](mode_t mode) {
        put(QFile::decodeName(secret), "s3cret\r\nsecond line\n");
        EXPECT_EQ(::chmod(secret.constData(), mode), 0);
        return QFile::decodeName(secret);
    };
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* what;
        std::function<QString()> file;
        const char* refusal; // nothing: read
        bool throughInventory = false;
        bool needsRoot = false; // to give a file away
    };
    const Case cases[] = {
        {"0400", [&] { return made(0400); }, nullptr},
        {"0644", [&] { return made(0644); }, "is readable by others (mode 0644); chmod 600 it"},
        {"0640", [&] { return made(0640); }, "is readable by others (mode 0640); chmod 600 it"},
        {"0602", [&] { return made(0602); }, "is writable by others (mode 0602); chmod 600 it"},
        {"0644 in an inventory", [&] { return made(0644); },
         "is readable by others (mode 0644); chmod 600 it", true},
        {"another user's",
         [&] {
             const QString path = made(0600);
             EXPECT_EQ(::chown(secret.constData(), 65534, 65534), 0);
             return path;
         },
         "is owned by another user (uid 65534); it must be yours", false, true},
        {"a link to a private file",
         [&] {
             made(0600);
             const QString link = dir.filePath(QStringLiteral("link"));
             EXPECT_EQ(::symlink(secret.constData(), QFile::encodeName(link).constData()), 0);
             return link;
         },
         "is a symbolic link; name the file itself"},
        {"a FIFO",
         [&] {
             const QString fifo = dir.filePath(QStringLiteral("fifo"));
             makeFifo(fifo);
             return fifo;
         },
         "is not a regular file"},
    };
    for (const Case& c : cases) {
        if (c.needsRoot && !root) {
            std::cout << "skipped without root: " << c.what << "\n";
            continue;
        }
        const QString password = c.file();
        QStringList arguments{QStringLiteral("kvx100ctl"), QStringLiteral("info")};
        if (c.throughInventory) {
            const QString inventory = dir.filePath(QStringLiteral("inventory"));
            put(inventory, "127.0.0.1:9 user=admin password_file=" + password.toUtf8() + "\n");
            arguments << QStringLiteral("--inventory") << inventory;
        } else {
            arguments << QStringLiteral("127.0.0.1:9") << QStringLiteral("--user") << QStringLiteral("admin")
                      << QStringLiteral("--password-file") << password;
        }
        const ctl::ParsedCommandLine parsed =
            ctl::parseCommandLine(arguments, [] { return std::optional<std::string>("asked"); });
        if (!c.refusal) {
            ASSERT_EQ(parsed.kind, ctl::ParsedCommandLine::Kind::Run) << c.what << ": " << parsed.text;
            EXPECT_EQ(parsed.invocation.settings.connect.credentials.password, "s3cret") << c.what;
        } else {
            EXPECT_EQ(parsed.kind, ctl::ParsedCommandLine::Kind::Usage) << c.what;
            EXPECT_EQ(parsed.text,
                      "kvx100ctl info: the password file " + password.toStdString() + " " + c.refusal + "\n")
                << c.what;
        }
        QFile::remove(QFile::decodeName(secret));
    }
}

// ---- the transcript ------------------------------------------------------------------------------------

TEST(TranscriptFile, TheFolderAndTheFileAreTheUsersAlone) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/kvx100-manager"));
    TranscriptFile transcript(folder);
    ASSERT_TRUE(transcript.open()) << transcript.error().toStdString();
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0);
    EXPECT_EQ(QFileInfo(transcript.path()).permissions() & 0x0077, 0);
}

TEST(TranscriptFile, ANonRegularFileInItsPlaceIsNeitherFollowedNorWaitedOn) {
    QTemporaryDir dir;
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    put(elsewhere, "keep");
    const QString linked = dir.filePath(QStringLiteral("linked"));
    const QString piped = dir.filePath(QStringLiteral("piped"));
    QDir().mkpath(linked);
    QDir().mkpath(piped);
    ASSERT_TRUE(QFile::link(elsewhere, linked + QStringLiteral("/transcript.log")));
    makeFifo(piped + QStringLiteral("/transcript.log"));
    for (const QString& folder : {linked, piped}) {
        TranscriptFile transcript(folder);
        EXPECT_FALSE(transcript.open()) << folder.toStdString();
        EXPECT_TRUE(transcript.error().startsWith(folder)) << transcript.error().toStdString();
        transcript.append("Ver\r\n");
        EXPECT_EQ(transcript.session(), "Ver\n") << "kept for Save Transcript all the same";
    }
    EXPECT_EQ(contents(elsewhere), "keep");
}
