// Which password files kvx100ctl reads: only a regular file that nobody but its owner, the user running
// kvx100ctl, can read or change; anything else is a wrong command line that says why.
#include "ctl/invocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvx;
using namespace kvx::ctl;

namespace {

// The command line's file, or an inventory's password_file= when `inventory` is given.
ParsedCommandLine parse(const QString& password, const QString& inventory = {}) {
    QStringList arguments{QStringLiteral("kvx100ctl"), QStringLiteral("info")};
    if (inventory.isEmpty())
        arguments << QStringLiteral("127.0.0.1:9") << QStringLiteral("--user") << QStringLiteral("admin")
                  << QStringLiteral("--password-file") << password;
    else
        arguments << QStringLiteral("--inventory") << inventory;
    return parseCommandLine(arguments, [] { return std::optional<std::string>("asked"); });
}

} // namespace

TEST(PasswordFile, OnlyAPrivateRegularFileOfTheUserIsRead) {
    const QTemporaryDir dir;
    const QByteArray secret = dir.filePath(QStringLiteral("secret")).toLocal8Bit();
    const auto made = [&](mode_t mode) {
        QFile file(QString::fromLocal8Bit(secret));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("s3cret\r\nsecond line\n");
        file.close();
        EXPECT_EQ(::chmod(secret.constData(), mode), 0);
        return QString::fromLocal8Bit(secret);
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
        {"0600", [&] { return made(0600); }, nullptr},
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
             EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
             return fifo;
         },
         "is not a regular file"},
        {"a folder",
         [&] {
             const QString folder = dir.filePath(QStringLiteral("folder"));
             EXPECT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
             return folder;
         },
         "is not a regular file"},
    };
    for (const Case& c : cases) {
        if (c.needsRoot && !root) {
            std::cout << "skipped without root: " << c.what << "\n";
            continue;
        }
        const QString password = c.file();
        QString inventory;
        if (c.throughInventory) {
            inventory = dir.filePath(QStringLiteral("inventory"));
            QFile file(inventory);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("127.0.0.1:9 user=admin password_file=" + password.toUtf8() + "\n");
        }
        const ParsedCommandLine parsed = parse(password, inventory);
        if (!c.refusal) {
            ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << c.what << ": " << parsed.text;
            EXPECT_EQ(parsed.invocation.settings.connect.credentials.password, "s3cret") << c.what;
        } else {
            EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::Usage) << c.what;
            EXPECT_EQ(parsed.text,
                      "kvx100ctl info: the password file " + password.toStdString() + " " + c.refusal + "\n")
                << c.what;
        }
        ::unlink(secret.constData());
    }
}
