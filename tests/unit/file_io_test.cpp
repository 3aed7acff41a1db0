#include "core/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    struct Case {
        QString path;
        qint64 bound;
        std::optional<QByteArray> expected;
        const char* error; // after the path; the system's own words are not compared
    };
    const Case cases[] = {
        {good, 5, QByteArray("12345"), ""},
        {good, 4, std::nullopt, "larger than 4 bytes"},
        {dir.filePath(QStringLiteral("missing")), 5, std::nullopt, ""},
        {dir.path(), 5, std::nullopt, "not a regular file"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(readRegularFile(c.path, c.bound, error), c.expected) << c.path.toStdString();
        if (!c.expected)
            EXPECT_TRUE(error.startsWith(c.path + QStringLiteral(": ") + QLatin1String(c.error)))
                << error.toStdString();
    }
}

TEST(FileIo, ReplacingLeavesTheNewFileAloneInTheFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.kcf"));
    put(path, "old");
    QString error;
    ASSERT_TRUE(replaceFile(path, "new", error)) << error.toStdString();
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.kcf")});
    EXPECT_FALSE(replaceFile(dir.path(), "x", error));
}
