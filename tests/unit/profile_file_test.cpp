#include "config/profile_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvx::ProfileFile;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ProfileFile, WritesSectionsAndKeysInTheOrderFirstWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.kcf"));
    ProfileFile file(path);
    EXPECT_TRUE(file.write("MODE", "Mode", "Server Mode\r\n"));
    EXPECT_TRUE(file.write("BIND", "0Name", "x"));
    EXPECT_TRUE(file.write("MODE", "Extra", "1")); // into an earlier section
    EXPECT_TRUE(file.write("bind", "0name", "y")); // replaces, whatever the case
    EXPECT_TRUE(file.write("BIND", "SUM", "1\r\n"));
    EXPECT_TRUE(file.flush());
    EXPECT_EQ(contents(path), QByteArray("[MODE]\r\nMode=Server Mode\r\n\r\nExtra=1\r\n"
                                         "[BIND]\r\n0Name=y\r\nSUM=1\r\n\r\n"));
    // What was written reads back the same through a fresh reader.
    const ProfileFile again(path);
    EXPECT_EQ(again.read("MODE", "Mode"), "Server Mode");
    EXPECT_EQ(again.keys("BIND"), (std::vector<std::string>{"0Name", "SUM"}));
}

// A reply that carries further lines must not plant keys or sections for a restore to send.
TEST(ProfileFile, AValueKeepsOnlyItsFirstLineAndItsLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.kcf"));
    ProfileFile file(path);
    EXPECT_TRUE(file.write("PORT", "Port", "9\r\n[MODE]\r\nMode=Reboot\r\n"));
    EXPECT_TRUE(file.write("KATO", "Kato", "30\nx=1"));
    EXPECT_TRUE(file.flush());
    EXPECT_EQ(contents(path), QByteArray("[PORT]\r\nPort=9\r\n\r\n[KATO]\r\nKato=30\r\n\r\n"));
    EXPECT_EQ(ProfileFile(path).sections(), (std::vector<std::string>{"PORT", "KATO"}));
}

TEST(ProfileFile, ReadsValuesAsTheRestoreExpects) {
    struct Case {
        const char* name;
        std::string text;
        std::string section;
        std::string key;
        std::string value;
    };
    const std::string sixty(60, 'v');
    const Case cases[] = {
        {"missing section", "[A]\r\nk=1\r\n", "B", "k", ""},
        {"missing key", "[A]\r\nk=1\r\n", "A", "j", ""},
        {"cut to 49", "[A]\r\nk=" + sixty + "\r\n", "A", "k", sixty.substr(0, 49)},
        {"blanks around", "[A]\r\n k = 9100 \r\n", "A", "k", "9100"},
        {"LF only", "[A]\nk=1\nj=2\n", "A", "j", "2"},
        {"CR only", "[A]\rk=1\rj=2\r", "A", "j", "2"},
        {"no line end at all", "[A]\r\nk=last", "A", "k", "last"},
        {"first of a duplicate key", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "1"},
        {"key before any section", "k=1\r\n[A]\r\n", "A", "k", ""},
        {"value holding =", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        {"empty text", "", "A", "k", ""},
        {"binary", std::string("[A]\0\xff\r\nk=\0\x01", 11), "A", "k", std::string("\0\x01", 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileFile::fromText(c.text).read(c.section, c.key), c.value) << c.name;
}

TEST(ProfileFile, AMissingFileReadsEmpty) {
    const ProfileFile file(QStringLiteral("/nonexistent/dir/x.kcf"));
    EXPECT_EQ(file.read("MODE", "Mode"), "");
    EXPECT_TRUE(file.keys("MODE").empty());
}
