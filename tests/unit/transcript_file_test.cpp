#include "core/transcript_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(TranscriptFile, KeepsLinesAsThePaneShowsThemAndNoTerminalControls) {
    const std::pair<std::string, std::string> cases[] = {
        {"Mode\r\n+OK Server Mode\r\n", "Mode\n+OK Server Mode\n"},
        {"a\rb", "a\nb"},
        {std::string("nul\0byte", 8), "nulbyte"},
        {"\x1B[2Jname\x7F\tend", "\\x1B[2Jname\\x7F\tend"},
        {"caf\xC3\xA9 \xE9", "caf\xC3\xA9 \xE9"},
    };
    for (const auto& [wire, kept] : cases)
        EXPECT_EQ(transcriptText(wire), kept) << wire;
}

TEST(TranscriptFile, WritesAsItGoesAndRotatesBySizeKeepingOnePreviousFile) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/kvx100-manager"));
    TranscriptFile transcript(folder, {64, 100});
    ASSERT_TRUE(transcript.open()) << transcript.error().toStdString();
    transcript.append("Pass *****\r\n");
    const QString current = folder + QStringLiteral("/transcript.log");
    EXPECT_TRUE(contents(current).endsWith("====\nPass *****\n")) << "on the disk before the next line";

    for (int i = 10; i < 40; ++i)
        transcript.append("line " + std::to_string(i) + " of the session\r\n");
    // 23 bytes a line: two to a file of at most 64.
    EXPECT_EQ(contents(current), "line 38 of the session\nline 39 of the session\n");
    EXPECT_EQ(contents(current + QStringLiteral(".1")), "line 36 of the session\nline 37 of the session\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);

    const std::string& session = transcript.session();
    EXPECT_LE(session.size(), 100u);
    EXPECT_TRUE(session.starts_with("[earlier lines dropped]\n"));
    EXPECT_TRUE(session.ends_with("line 39 of the session\n"));
}
