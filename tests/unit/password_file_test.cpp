// Which password files kvx100ctl reads: only a regular file; anything else is a wrong command line that
// says why. Owners, modes, links and FIFOs are POSIX matters, tested with them.
#include "ctl/invocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::ctl;

TEST(PasswordFile, OnlyARegularFileIsRead) {
    const QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secret"));
    {
        QFile file(secret);
        // Private, as POSIX asks of a password file; Windows has no such bits to check.
        ASSERT_TRUE(file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        file.write("s3cret\r\nsecond line\n");
    }
    const QString folder = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    for (const QString& password : {secret, folder}) {
        const ParsedCommandLine parsed = parseCommandLine(
            {QStringLiteral("kvx100ctl"), QStringLiteral("info"), QStringLiteral("127.0.0.1:9"),
             QStringLiteral("--user"), QStringLiteral("admin"), QStringLiteral("--password-file"), password},
            [] { return std::optional<std::string>("asked"); });
        if (password == secret) {
            ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.text;
            EXPECT_EQ(parsed.invocation.settings.connect.credentials.password, "s3cret");
        } else {
            EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::Usage);
            EXPECT_EQ(parsed.text, "kvx100ctl info: the password file " + folder.toStdString() +
                                       " is not a regular file\n");
        }
    }
}
