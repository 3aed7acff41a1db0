#include "core/profile_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using kvx::ProfileFile;

TEST(ProfileFile, WritesSectionsAndKeysInTheOrderFirstWritten) {
    ProfileFile file;
    EXPECT_TRUE(file.write("MODE", "Mode", "Server Mode\r\n"));
    EXPECT_TRUE(file.write("BIND", "0Name", "x"));
    EXPECT_TRUE(file.write("MODE", "Extra", "1")); // into an earlier section
    EXPECT_TRUE(file.write("bind", "0name", "y")); // replaces, whatever the case
    EXPECT_TRUE(file.write("BIND", "SUM", "1\r\n"));
    EXPECT_EQ(file.text(), "[MODE]\r\nMode=Server Mode\r\n\r\nExtra=1\r\n"
                           "[BIND]\r\n0Name=y\r\nSUM=1\r\n\r\n");
    // What was written reads back the same through a fresh reader.
    const ProfileFile again = ProfileFile::fromText(file.text());
    EXPECT_EQ(again.read("MODE", "Mode"), "Server Mode");
    EXPECT_EQ(again.keys("BIND"), (std::vector<std::string>{"0Name", "SUM"}));
}

// A reply that carries further lines must not plant keys or sections for a restore to send.
TEST(ProfileFile, ValuesAndKeysKeepOnlyTheirFirstLine) {
    ProfileFile file;
    EXPECT_TRUE(file.write("PORT", "Port", "9\r\n[MODE]\r\nMode=Reboot\r\n"));
    EXPECT_TRUE(file.write("KATO", "Kato", "30\nx=1"));
    EXPECT_TRUE(file.write("SERV", "0\r\n[MODE]\r\nMode=Reboot\r\nName", "x"));
    EXPECT_EQ(file.text(), "[PORT]\r\nPort=9\r\n\r\n[KATO]\r\nKato=30\r\n\r\n[SERV]\r\n0=x\r\n");
    EXPECT_EQ(ProfileFile::fromText(file.text()).sections(),
              (std::vector<std::string>{"PORT", "KATO", "SERV"}));
}

// Whatever a device lists, what is written stays within what a reader takes back.
TEST(ProfileFile, WritingStopsAtTheLimitsOfAReader) {
    struct Case {
        const char* name;
        std::function<void(ProfileFile&)> fill; // up to the limit
        std::string section;
        std::string key;
        std::string value;
    };
    const std::string large(ProfileFile::kMaxFileBytes - 12, 'v'); // 3 bytes short of the bound
    const Case cases[] = {
        {"sections",
         [](ProfileFile& f) {
             for (std::size_t i = 0; i < ProfileFile::kMaxSections; ++i)
                 ASSERT_TRUE(f.write("S" + std::to_string(i), "k", "1"));
         },
         "ONEMORE", "k", "1"},
        {"keys",
         [](ProfileFile& f) {
             for (std::size_t i = 0; i < ProfileFile::kMaxKeys; ++i)
                 ASSERT_TRUE(f.write("SERV", std::to_string(i) + "Name", "1"));
         },
         "SERV", "OneMore", "1"},
        {"bytes", [&](ProfileFile& f) { ASSERT_TRUE(f.write("A", "k", large)); }, "A", "k",
         large + "0123456789"},
    };
    for (const Case& c : cases) {
        ProfileFile file;
        c.fill(file);
        const std::string before = file.text();
        EXPECT_FALSE(file.write(c.section, c.key, c.value)) << c.name;
        EXPECT_TRUE(file.text() == before) << c.name;
        EXPECT_LE(qint64(before.size()), ProfileFile::kMaxFileBytes) << c.name;
    }
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
        {"whole, however long", "[A]\r\nk=" + sixty + "\r\n", "A", "k", sixty},
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

TEST(ProfileFile, OnlyARegularFileIsRead) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.kcf"));
    {
        QFile file(good);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[MODE]\r\nMode=Server Mode\r\n");
    }
    QString error;
    const std::optional<ProfileFile> read = ProfileFile::fromFile(good, error);
    ASSERT_TRUE(read.has_value()) << error.toStdString();
    EXPECT_EQ(read->read("MODE", "Mode"), "Server Mode");
    EXPECT_FALSE(ProfileFile::fromFile(dir.path(), error).has_value());
    EXPECT_EQ(error, dir.path() + QStringLiteral(": not a regular file"));
}
