// The command-line program against simulated devices on loopback, run in-process.
#include "config/profile_file.h"
#include "ctl/command_line.h"
#include "sim_fixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace kvx;
using namespace kvx::test;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class Ctl {
public:
    Ctl() {
        QFile file(m_dir.filePath(QStringLiteral("password")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("admin\n");
    }
    // The arguments after the program name; credentials are added for every command but discover.
    Result operator()(QStringList arguments, bool logIn = true) const {
        if (logIn && arguments.first() != QLatin1String("discover"))
            arguments << QStringLiteral("--user") << QStringLiteral("admin")
                      << QStringLiteral("--password-file") << m_dir.filePath(QStringLiteral("password"));
        arguments.prepend(QStringLiteral("kvx100ctl"));
        std::ostringstream out;
        std::ostringstream err;
        ctl::Console console{out, err, false, [] {
                                 return std::optional<std::string>();
                             }};
        const int status = ctl::runCommandLine(arguments, console);
        return {status, out.str(), err.str()};
    }
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private:
    QTemporaryDir m_dir;
};

QString host(const sim::SimulatedDevice& device) {
    return QStringLiteral("127.0.0.1:%1").arg(device.controlPort());
}

} // namespace

TEST(Kvx100ctl, DiscoverListsTheDevicesThatAnswer) {
    const auto device = startDevice();
    const Ctl ctl;
    const Result found = ctl({QStringLiteral("discover"), QStringLiteral("--target"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("--discovery-port"),
                              QString::number(device->discoveryPort()), QStringLiteral("--json")});
    EXPECT_EQ(found.status, ctl::kExitOk) << found.err;
    const QJsonArray devices = QJsonDocument::fromJson(QByteArray::fromStdString(found.out)).array();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0][QStringLiteral("ip")].toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(devices[0][QStringLiteral("port")].toString(), QString::number(device->controlPort()));
    EXPECT_EQ(devices[0][QStringLiteral("name")].toString(), QStringLiteral("KVX-Trainer"));

    device->stop();
    const Result none =
        ctl({QStringLiteral("discover"), QStringLiteral("--target"), QStringLiteral("127.0.0.1"),
             QStringLiteral("--discovery-port"), QString::number(device->discoveryPort()),
             QStringLiteral("--timeout"), QStringLiteral("0.3")});
    EXPECT_EQ(none.status, ctl::kExitFailed);
    EXPECT_EQ(none.out, "");
}

TEST(Kvx100ctl, InfoReadsWhatThePagesShow) {
    const auto device = startDevice();
    device->setMode(1);
    const Result info = Ctl()({QStringLiteral("info"), host(*device), QStringLiteral("--discovery-port"),
                               QString::number(device->discoveryPort())});
    EXPECT_EQ(info.status, ctl::kExitOk) << info.err;
    for (const char* line : {"Product Serial Number: KVX100-000001\n", "Firmware Version: 2.1.0\n",
                             "Operation Mode: Client Mode\n", "Bluetooth Name: KVX-Trainer\n", "MaxDT: 7\n",
                             "Link Timeout: 20 sec\n", "Security: low\n", "Pairable: on\n"})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
}

// Three devices at once, one of which stops answering: the report names it with the window's message,
// and the other two files are whole.
TEST(Kvx100ctl, BackupOfSeveralDevicesReportsTheOneThatFailed) {
    const auto first = startDevice();
    const auto silent = startDevice();
    const auto third = startDevice();
    sim::FaultOptions faults;
    faults.silentCommands = {"kato"};
    silent->setFaults(faults);
    const Ctl ctl;
    QDir().mkpath(ctl.path("backups"));
    const Result run = ctl({QStringLiteral("backup"), host(*first), host(*silent), host(*third),
                            ctl.path("backups"), QStringLiteral("--csv")});
    EXPECT_EQ(run.status, ctl::kExitFailed);
    const std::string port = std::to_string(silent->controlPort());
    EXPECT_NE(run.out.find("\"127.0.0.1:" + port +
                           "\",failed,\"backup\",\"Backup is timeout. Check Lumeno-KVX and Try again.\""),
              std::string::npos)
        << run.out;
    for (const auto* device : {first.get(), third.get()}) {
        const QString file =
            ctl.path("backups") + QStringLiteral("/127.0.0.1_%1.kcf").arg(device->controlPort());
        EXPECT_EQ(ProfileFile(file).sections().size(), 19u) << file.toStdString();
        EXPECT_EQ(ProfileFile(file).read("ROUTE", "SUM"), "4");
    }
    const QString partial =
        ctl.path("backups") + QStringLiteral("/127.0.0.1_%1.kcf").arg(silent->controlPort());
    EXPECT_EQ(ProfileFile(partial).sections(), (std::vector<std::string>{"MODE", "PORT", "PRSV"}));
}

TEST(Kvx100ctl, DiffRestoreAndSend) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString file = ctl.path("saved.kcf");
    ASSERT_EQ(ctl({QStringLiteral("backup"), host(*device), file}).status, ctl::kExitOk);
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), file}).status, ctl::kExitOk);

    // A host may be named, not only given as a dotted address.
    const Result send =
        ctl({QStringLiteral("send"), QStringLiteral("localhost:%1").arg(device->controlPort()),
             QStringLiteral("Maxdt 3")});
    EXPECT_EQ(send.status, ctl::kExitOk);
    EXPECT_EQ(send.out, "+OK\r\n");
    const Result different = ctl({QStringLiteral("diff"), host(*device), file});
    EXPECT_EQ(different.status, ctl::kExitDifferent);
    EXPECT_EQ(different.out, "MAXDT Maxdt: device \"3\", file \"7\"\n");

    EXPECT_EQ(ctl({QStringLiteral("restore"), host(*device), file}).status, ctl::kExitOk);
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), file}).status, ctl::kExitOk);

    sim::FaultOptions faults;
    faults.silentCommands = {"Ver"};
    device->setFaults(faults);
    const Result silent = ctl({QStringLiteral("send"), host(*device), QStringLiteral("Ver"),
                               QStringLiteral("--wait"), QStringLiteral("1")});
    EXPECT_EQ(silent.status, ctl::kExitFailed);
    EXPECT_EQ(silent.err, host(*device).toStdString() + ": send: No reply within the wait.\n");
}

TEST(Kvx100ctl, WrongCommandLinesChangeNothing) {
    const Ctl ctl;
    const QString file = ctl.path("missing.kcf");
    const std::vector<std::pair<QStringList, bool>> cases = {
        {{QStringLiteral("frobnicate")}, true},
        {{QStringLiteral("backup"), QStringLiteral("127.0.0.1:9")}, true},
        {{QStringLiteral("info"), QStringLiteral("bad_name")}, true},
        {{QStringLiteral("info"), QStringLiteral("10.0.0.300")}, true},
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:70000")}, true},
        {{QStringLiteral("restore"), QStringLiteral("127.0.0.1:9"), file}, true},
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--parallel"),
          QStringLiteral("0")},
         true},
        {{QStringLiteral("send"), QStringLiteral("127.0.0.1:9")}, true},
        // Without --user, and without a terminal to ask the password on.
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9")}, false},
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--user"),
          QStringLiteral("admin")},
         false},
    };
    for (const auto& [arguments, logIn] : cases) {
        const Result run = ctl(arguments, logIn);
        EXPECT_EQ(run.status, ctl::kExitUsage) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(ctl({QStringLiteral("log"), QStringLiteral("--help")}, false).status, ctl::kExitOk);
}
