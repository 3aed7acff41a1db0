#include "core/file_io.h"
#include "file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kvx;

namespace {

void put(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(FileIo, OnlyRegularFilesWithinTheBoundAreRead) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good"));
    put(good, "12345");
    QFile::link(good, dir.filePath(QStringLiteral("link")));
    ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600);
    struct Case {
        QString path;
        qint64 bound;
        std::optional<QByteArray> expected;
        const char* error;
    };
    const Case cases[] = {
        {good, 5, QByteArray("12345"), ""},
        {dir.filePath(QStringLiteral("link")), 5, QByteArray("12345"), ""},
        {good, 4, std::nullopt, "larger than 4 bytes"},
        {dir.filePath(QStringLiteral("missing")), 5, std::nullopt, "No such file"},
        {dir.path(), 5, std::nullopt, "not a regular file"},
        {dir.filePath(QStringLiteral("fifo")), 5, std::nullopt, "not a regular file"},
        {QStringLiteral("/dev/zero"), 5, std::nullopt, "not a regular file"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(readRegularFile(c.path, c.bound, error), c.expected) << c.path.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
    }
}

TEST(FileIo, ReplacingPutsANewFileWhereALinkStood) {
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other"));
    const QString path = dir.filePath(QStringLiteral("out.kcf"));
    put(other, "precious");
    QFile::link(other, path);
    QString error;
    ASSERT_TRUE(replaceFile(path, "new", error)) << error.toStdString();
    EXPECT_EQ(contents(other), "precious");
    EXPECT_EQ(contents(path), "new");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_FALSE(replaceFile(dir.path(), "x", error));
}

// A disk that fills up mid-write (here: a file size limit) leaves the old file as it was and no stray
// new file beside it.
TEST(FileIo, AWriteTheDiskRefusesLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.kcf"));
    put(path, "old");
    QString error;
    bool written = true;
    {
        const test::FileSizeLimit limit(100);
        written = replaceFile(path, std::string(1000, 'x'), error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
