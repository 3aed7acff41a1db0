#include "app/keyring.h"
#include "private_settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

#ifdef KVX_HAVE_KEYCHAIN
#include <unistd.h>
#endif

using namespace kvx;

namespace {

#ifdef KVX_HAVE_KEYCHAIN

// Set by tests/support/private_keyring.sh, which every run of this test goes through (see main).
QString keyringState() {
    return qEnvironmentVariable("KVX_PRIVATE_KEYRING");
}

bool keyringReady() {
    return keyringState() == QStringLiteral("ready");
}

const QString kNoKeyring =
    QStringLiteral("No desktop keyring (Secret Service) answers; credentials are asked for each time.");

TEST(DesktopKeyring, GivesBackEveryByteStored) {
    if (!keyringReady())
        GTEST_SKIP() << qPrintable(keyringState());
    const std::unique_ptr<Keyring> keyring = desktopKeyring();
    ASSERT_TRUE(keyring->available());
    const std::vector<Credentials> table = {
        {"admin", "s3cret"},
        {"관리자", "비밀번호=\"x\" 'y'"},
        {"12:a", std::string("9:\0\xff\xfe=", 6)}, // a user that reads like the length, bytes not UTF-8
        {"", ""},
    };
    for (size_t i = 0; i < table.size(); ++i)
        ASSERT_TRUE(keyring->store(QStringLiteral("device-%1").arg(i), table[i]).ok) << i;
    for (size_t i = 0; i < table.size(); ++i) {
        const KeyringResult loaded = keyring->load(QStringLiteral("device-%1").arg(i));
        ASSERT_TRUE(loaded.ok) << i << qPrintable(loaded.error);
        ASSERT_TRUE(loaded.credentials) << i;
        EXPECT_EQ(loaded.credentials->user, table[i].user) << i;
        EXPECT_EQ(loaded.credentials->password, table[i].password) << i;
    }
}

TEST(DesktopKeyring, KeepsOnlyTheLastStoredAndNothingOnceForgotten) {
    if (!keyringReady())
        GTEST_SKIP() << qPrintable(keyringState());
    const std::unique_ptr<Keyring> keyring = desktopKeyring();
    const KeyringResult unknown = keyring->load(QStringLiteral("never-stored"));
    EXPECT_TRUE(unknown.ok) << qPrintable(unknown.error);
    EXPECT_FALSE(unknown.credentials);

    const QString key = QStringLiteral("10.0.0.7:9096");
    ASSERT_TRUE(keyring->store(key, {"admin", "old"}).ok);
    ASSERT_TRUE(keyring->store(key, {"admin", "new"}).ok);
    const KeyringResult replaced = keyring->load(key);
    ASSERT_TRUE(replaced.credentials);
    EXPECT_EQ(replaced.credentials->password, "new");

    EXPECT_TRUE(keyring->forget(key).ok);
    const KeyringResult forgotten = keyring->load(key);
    EXPECT_TRUE(forgotten.ok);
    EXPECT_FALSE(forgotten.credentials);
    EXPECT_TRUE(keyring->forget(key).ok) << "forgetting what is not kept is no failure";
}

// The session bus a process uses is fixed once it first connects, so each bus without a keyring is
// tried by this test running again in a process of its own.
TEST(DesktopKeyring, SaysSoWhenNoSecretServiceAnswers) {
    if (keyringState() == QStringLiteral("none")) {
        const std::unique_ptr<Keyring> keyring = desktopKeyring();
        EXPECT_FALSE(keyring->available());
        const KeyringResult loaded = keyring->load(QStringLiteral("device"));
        EXPECT_FALSE(loaded.ok);
        EXPECT_TRUE(loaded.error.startsWith(kNoKeyring)) << qPrintable(loaded.error);
        EXPECT_EQ(keyring->store(QStringLiteral("device"), {"admin", "pw"}).error, loaded.error);
        return;
    }
    if (!keyringReady())
        GTEST_SKIP() << qPrintable(keyringState());
    const QTemporaryDir empty;
    const struct {
        const char* name;
        QString bus;
    } table[] = {
        {"an address where no bus listens", QStringLiteral("unix:path=%1/no-bus").arg(empty.path())},
        {"a bus that has no Secret Service", qEnvironmentVariable("KVX_BARE_BUS")},
    };
    for (const auto& row : table) {
        ASSERT_FALSE(row.bus.isEmpty()) << row.name;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), row.bus);
        environment.insert(QStringLiteral("KVX_PRIVATE_KEYRING"), QStringLiteral("none"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=DesktopKeyring.SaysSoWhenNoSecretServiceAnswers")});
        ASSERT_TRUE(child.waitForFinished(30000)) << row.name;
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << row.name;
        EXPECT_EQ(child.exitCode(), 0) << row.name;
        EXPECT_LT(clock.elapsed(), 10000) << row.name;
    }
}

#else

TEST(DesktopKeyring, SaysSoWhenBuiltWithout) {
    const std::unique_ptr<Keyring> keyring = desktopKeyring();
    EXPECT_FALSE(keyring->available());
    const KeyringResult loaded = keyring->load(QStringLiteral("device"));
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.error,
              QStringLiteral("This build of the program has no desktop keyring; credentials are "
                             "asked for each time."));
}

#endif

} // namespace

// This test's own main, in place of the widget tests' one: a keyring build first runs itself again through
// tests/support/private_keyring.sh, so that no case, however it is started, reaches the user's session bus
// or keyring.
int main(int argc, char** argv) {
#ifdef KVX_HAVE_KEYCHAIN
    if (qEnvironmentVariableIsEmpty("KVX_PRIVATE_KEYRING")) {
        std::vector<char*> command{const_cast<char*>("/bin/sh"),
                                   const_cast<char*>(KVX_PRIVATE_KEYRING_SCRIPT)};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        execv(command[0], command.data());
        std::perror("cannot run " KVX_PRIVATE_KEYRING_SCRIPT);
        return 1;
    }
#endif
    const kvx::test::PrivateSettings settings;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
