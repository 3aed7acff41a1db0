// The command-line program against simulated devices on loopback, run in-process.
#include "core/profile_file.h"
#include "ctl/command_line.h"
#include "ctl_run.h"
#include "fleet/convergence.h"
#include "fleet/device_commands.h"
#include "fleet/printable.h"
#include "fleet/runner.h"
#include "platform/net.h"
#include "private_file.h"
#include "sim_fixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sstream>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

namespace {

using Result = CtlResult;

class Ctl {
public:
    Ctl() { EXPECT_FALSE(test::writePrivateFile(m_dir, "password", "admin\n").isEmpty()); }
    // The arguments after the program name; credentials are added for every command but discover.
    // With terminalRows, the error stream is a terminal of that many rows.
    Result operator()(QStringList arguments, bool logIn = true, int terminalRows = 0) const {
        if (logIn && arguments.first() != QLatin1String("discover"))
            arguments << QStringLiteral("--user") << QStringLiteral("admin")
                      << QStringLiteral("--password-file") << m_dir.filePath(QStringLiteral("password"));
        return runCtl(std::move(arguments), terminalRows);
    }
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QString put(const char* name, const QByteArray& data) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    }

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
    EXPECT_EQ(devices[0][QStringLiteral("port")], QJsonValue(device->controlPort()));
    EXPECT_EQ(devices[0][QStringLiteral("name")].toString(), QStringLiteral("KVX-Trainer"));

    device->stop();
    const Result none =
        ctl({QStringLiteral("discover"), QStringLiteral("--target"), QStringLiteral("127.0.0.1"),
             QStringLiteral("--discovery-port"), QString::number(device->discoveryPort()),
             QStringLiteral("--timeout"), QStringLiteral("0.3")});
    EXPECT_EQ(none.status, ctl::kExitFailed);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "discover: no device answered\n");
}

// The text shows what the pages show; JSON and CSV give each value its own member or column.
TEST(Kvx100ctl, InfoReadsWhatThePagesShow) {
    sim::DeviceOptions options;
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 220, -3, "1", 1234, 5678}};
    const auto device = startDevice(options);
    device->setMode(1);
    const Ctl ctl;
    const QStringList info{QStringLiteral("info"), host(*device), QStringLiteral("--discovery-port"),
                           QString::number(device->discoveryPort())};
    const Result text = ctl(info);
    EXPECT_EQ(text.status, ctl::kExitOk) << text.err;
    for (const char* line : {"Product Serial Number: KVX100-000001\n", "Firmware Version: 2.1.0\n",
                             "Operation Mode: Client Mode\n", "Bluetooth Name: KVX-Trainer\n", "MaxDT: 7\n",
                             "Link Timeout: 20 sec\n", "Security: low\n", "Pairable: on\n", "Links: 1\n",
                             "Link 00:1B:DC:0F:A1:01 Scanner: quality 220, signal -3, Tx 1234, Rx 5678\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;

    const Result json = ctl(info + QStringList{QStringLiteral("--json")});
    const QJsonObject values = QJsonDocument::fromJson(QByteArray::fromStdString(json.out))[0].toObject();
    const QJsonObject link{{QStringLiteral("address"), QStringLiteral("00:1B:DC:0F:A1:01")},
                           {QStringLiteral("name"), QStringLiteral("Scanner")},
                           {QStringLiteral("quality"), 220},
                           {QStringLiteral("signal"), -3},
                           {QStringLiteral("transmitted"), 1234},
                           {QStringLiteral("received"), 5678}};
    const std::pair<const char*, QJsonValue> fields[] = {
        {"serial", QStringLiteral("KVX100-000001")},
        {"port", device->controlPort()},
        {"firmware", QStringLiteral("2.1.0")},
        {"mode", QStringLiteral("client")},
        {"name", QStringLiteral("KVX-Trainer")},
        {"maxdt", 7},
        {"link_timeout", 20},
        {"discoverable", true},
        {"security", QStringLiteral("low")},
        {"pairable", true},
        {"links", QJsonArray{link}},
    };
    for (const auto& [key, value] : fields)
        EXPECT_EQ(values[QLatin1String(key)], value) << key << json.out;
    EXPECT_FALSE(values.contains(QStringLiteral("output")));

    const std::string port = std::to_string(device->controlPort());
    EXPECT_EQ(
        ctl(info + QStringList{QStringLiteral("--csv")}).out,
        "host,status,step,message,product,model,serial,ip,port,mac,bluetooth,firmware,mode,name,maxdt,"
        "link_timeout,discoverable,connectable,security,pairable,links\n\"127.0.0.1:" +
            port + "\",ok,\"info\",\"\",\"Lumeno-KVX100\",\"100\",\"KVX100-000001\",\"127.0.0.1\"," + port +
            ",\"00:1A:2B:3C:4D:5E\",\"00:11:22:33:44:55\",\"2.1.0\",\"client\",\"KVX-Trainer\",7,20,true,"
            "true,\"low\",true,\"00:1B:DC:0F:A1:01\"\n");
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
    // What was read before the device went silent is kept beside the file, which is not made.
    const QString partial =
        ctl.path("backups") + QStringLiteral("/127.0.0.1_%1.kcf.partial").arg(silent->controlPort());
    EXPECT_NE(
        run.out.find("\"127.0.0.1:" + port +
                     "\",failed,\"backup\",\"Backup is timeout. Check Lumeno-KVX and Try again. The settings "
                     "read so far are in " +
                     partial.toStdString() + ". No reply to \"\"kato\"\" within 10 s.\""),
        std::string::npos)
        << run.out;
    const auto read = [](const QString& path) {
        QString error;
        return ProfileFile::fromFile(path, error).value_or(ProfileFile());
    };
    for (const auto* device : {first.get(), third.get()}) {
        const QString file =
            ctl.path("backups") + QStringLiteral("/127.0.0.1_%1.kcf").arg(device->controlPort());
        EXPECT_EQ(read(file).sections().size(), 19u) << file.toStdString();
        EXPECT_EQ(read(file).read("ROUTE", "SUM"), "4");
    }
    EXPECT_FALSE(QFile::exists(partial.chopped(8)));
    EXPECT_EQ(read(partial).sections(), (std::vector<std::string>{"MODE", "PORT", "PRSV"}));
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
    const std::string label = host(*device).toStdString();
    const Result csv = ctl({QStringLiteral("diff"), host(*device), file, QStringLiteral("--csv")});
    EXPECT_EQ(csv.out, "host,status,step,message,group,item,device,file\n\"" + label +
                           "\",different,\"diff\",\"\",\"MAXDT\",\"Maxdt\",\"3\",\"7\"\n");
    const Result json = ctl({QStringLiteral("diff"), host(*device), file, QStringLiteral("--json")});
    EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(json.out))[0][QStringLiteral("differences")],
              (QJsonArray{QJsonObject{{QStringLiteral("group"), QStringLiteral("MAXDT")},
                                      {QStringLiteral("item"), QStringLiteral("Maxdt")},
                                      {QStringLiteral("device"), QStringLiteral("3")},
                                      {QStringLiteral("file"), QStringLiteral("7")}}}));

    EXPECT_EQ(ctl({QStringLiteral("restore"), host(*device), file}).status, ctl::kExitOk);
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), file}).status, ctl::kExitOk);

    sim::FaultOptions faults;
    faults.silentCommands = {"Ver"};
    device->setFaults(faults);
    const Result silent = ctl({QStringLiteral("send"), host(*device), QStringLiteral("Ver"),
                               QStringLiteral("--wait"), QStringLiteral("1")});
    EXPECT_EQ(silent.status, ctl::kExitFailed);
    EXPECT_EQ(silent.err, label + ": send: No reply to \"Ver\" within 1 s.\n");
}

// A device's failure is told with what the system knows of it, and a wrong command line says what is
// missing.
TEST(Kvx100ctl, ExitStatusAndMessageTellWhatWentWrong) {
    const auto device = startDevice();
    const auto gone = startDevice();
    gone->stop();
    const Ctl ctl;
    const std::string live = host(*device).toStdString();
    const std::string closed = host(*gone).toStdString();
    struct Case {
        QStringList arguments;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{QStringLiteral("send"), host(*device), QStringLiteral("Bogus")},
         ctl::kExitFailed,
         live + ": send: The device refused \"Bogus\": -ERR Unknown command\n"},
        {{QStringLiteral("info"), host(*gone)},
         ctl::kExitFailed,
         closed + ": connect: Lumeno-KVX Connection is failed. " + closed + ": Connection refused.\n"},
        {{QStringLiteral("backup"), host(*device)},
         ctl::kExitUsage,
         "kvx100ctl backup: backup needs a file: HOST[:PORT]... FILE.kcf\n"},
    };
    for (const Case& c : cases) {
        const Result run = ctl(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

// Several devices: the report ends with the totals, starts with no blank line, and names each failure
// once, also when a progress board stood on the terminal; the echo of each device is labelled.
TEST(Kvx100ctl, AReportOfSeveralDevicesEndsWithTotals) {
    const auto first = startDevice();
    const auto second = startDevice();
    const auto gone = startDevice();
    gone->stop();
    const Ctl ctl;
    QDir().mkpath(ctl.path("backups"));
    const QStringList backup{QStringLiteral("backup"), host(*first), host(*second), host(*gone),
                             ctl.path("backups")};
    const std::string cause = net::errorText(ECONNREFUSED);
    const std::string refused =
        "Lumeno-KVX Connection is failed. " + host(*gone).toStdString() + ": " + cause + ".";
    const Result text = ctl(backup, true, 24);
    EXPECT_EQ(text.status, ctl::kExitFailed);
    EXPECT_EQ(text.out, host(*first).toStdString() + "  ok\n" + host(*second).toStdString() + "  ok\n" +
                            host(*gone).toStdString() + "  FAILED at connect: " + refused +
                            "\ntotals: 2 ok, 1 failed\n");
    EXPECT_EQ(text.err.find(cause), std::string::npos) << text.err;

    const Result verbose = ctl(backup + QStringList{QStringLiteral("--verbose")});
    const QStringList lines =
        QString::fromStdString(verbose.err).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_GT(lines.size(), 40);
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith(host(*first) + u':') || line.startsWith(host(*second) + u':'))
            << line.toStdString();

    for (const char* format : {"--json", "--csv"}) {
        const Result data = ctl(backup + QStringList{QLatin1String(format)});
        EXPECT_EQ(data.err, "kvx100ctl: totals: 2 ok, 1 failed\n") << format;
    }
}

TEST(Kvx100ctl, WrongCommandLinesChangeNothing) {
    const Ctl ctl;
    const QString file = ctl.path("missing.kcf");
    std::vector<std::pair<QStringList, bool>> cases = {
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
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--parallel"),
          QStringLiteral("257")},
         true},
        {{QStringLiteral("send"), QStringLiteral("127.0.0.1:9"), QStringLiteral("Ver"),
          QStringLiteral("--wait"), QStringLiteral("2147484")},
         true},
        {{QStringLiteral("send"), QStringLiteral("127.0.0.1:9"), QStringLiteral("Ver"),
          QStringLiteral("--wait"), QStringLiteral("3601")},
         true},
        // No such interface, one without a broadcast address, and an interface beside a target; none
        // sends anything even when let through.
        {{QStringLiteral("discover"), QStringLiteral("--interface"), QStringLiteral("kvx-no-such")}, false},
        {{QStringLiteral("discover"), QStringLiteral("--interface"), QStringLiteral("lo")}, false},
        {{QStringLiteral("discover"), QStringLiteral("--interface"), QStringLiteral("lo"),
          QStringLiteral("--target"), QStringLiteral("127.0.0.1"), QStringLiteral("--discovery-port"),
          QStringLiteral("9")},
         false},
        // Without --user, and without a terminal to ask the password on.
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9")}, false},
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--user"),
          QStringLiteral("admin")},
         false},
    };
    // Seconds outside 0.001..3600, or no finite number at all.
    for (const char* seconds : {"1e300", "inf", "nan", "9e15", "3601", "0", "0.0009", "-1"})
        cases.push_back({{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--timeout"),
                          QLatin1String(seconds)},
                         true});
    for (const auto& [arguments, logIn] : cases) {
        const Result run = ctl(arguments, logIn);
        EXPECT_EQ(run.status, ctl::kExitUsage) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(ctl({QStringLiteral("log"), QStringLiteral("--help")}, false).status, ctl::kExitOk);
}

// Files that are not small regular files are refused before any device is reached.
TEST(Kvx100ctl, InputFilesMustBeSmallRegularFiles) {
    const Ctl ctl;
    const QString password = ctl.put("long-password", QByteArray(5000, 'p'));
    QFile::setPermissions(password, QFile::ReadOwner | QFile::WriteOwner);
    const QString hosts = ctl.put("long-hosts", "127.0.0.1:9\n#" + QByteArray(1 << 20, 'x') + "\n");
    const QString large = ctl.put("large.kcf", QByteArray(ProfileFile::kMaxFileBytes + 1, '\n'));
    const std::pair<QStringList, bool> cases[] = {
        {{QStringLiteral("info"), QStringLiteral("127.0.0.1:9"), QStringLiteral("--user"),
          QStringLiteral("admin"), QStringLiteral("--password-file"), password},
         false},
        {{QStringLiteral("info"), QStringLiteral("--hosts"), hosts}, true},
        {{QStringLiteral("restore"), QStringLiteral("127.0.0.1:9"), large}, true},
    };
    for (const auto& [arguments, logIn] : cases) {
        const Result run = ctl(arguments, logIn);
        EXPECT_EQ(run.status, ctl::kExitUsage) << arguments.join(u' ').toStdString();
        EXPECT_NE(run.err.find(QFileInfo(arguments[arguments.size() - 1]).fileName().toStdString()),
                  std::string::npos)
            << run.err;
    }
}

TEST(Kvx100ctl, AHostListedTwiceIsWorkedOnOnce) {
    const auto device = startDevice();
    const Ctl ctl;
    QDir().mkpath(ctl.path("backups"));
    const Result run = ctl({QStringLiteral("backup"), host(*device), host(*device), ctl.path("backups"),
                            QStringLiteral("--csv")});
    EXPECT_EQ(run.status, ctl::kExitOk) << run.err;
    const std::string label = host(*device).toStdString();
    EXPECT_EQ(run.out, "host,status,step,message\n\"" + label + "\",ok,\"backup\",\"\"\n");
    EXPECT_NE(run.err.find(label + " is listed twice; worked on once"), std::string::npos) << run.err;
}

TEST(Kvx100ctl, AnOutputThatCannotBeCreatedContactsNoDevice) {
    const auto device = startDevice();
    const Ctl ctl;
    for (const char* command : {"backup", "log"}) {
        const Result run =
            ctl({QLatin1String(command), host(*device), ctl.path("missing/out"), QStringLiteral("--csv")});
        EXPECT_EQ(run.status, ctl::kExitFailed) << command;
        EXPECT_NE(run.out.find(",failed,\"file\",\"The file cannot be written: "), std::string::npos)
            << run.out;
    }
    EXPECT_EQ(device->connectionsAccepted(), 0u);
}

TEST(Kvx100ctl, ControlCharactersFromTheDeviceAreShownEscaped) {
    sim::DeviceOptions options;
    options.productName = "Evil\x1b[2J\tname\nfake\\row";
    const auto device = startDevice(options);
    const Ctl ctl;
    const QString port = QString::number(device->discoveryPort());
    const Result found = ctl({QStringLiteral("discover"), QStringLiteral("--target"),
                              QStringLiteral("127.0.0.1"), QStringLiteral("--discovery-port"), port});
    EXPECT_EQ(std::count(found.out.begin(), found.out.end(), '\n'), 1) << found.out;
    EXPECT_TRUE(found.out.ends_with("\tEvil\\e[2J\\tname\\nfake\\\\row\n")) << found.out;
    const Result info =
        ctl({QStringLiteral("info"), host(*device), QStringLiteral("--discovery-port"), port});
    EXPECT_NE(info.out.find("Product Name: Evil\\e[2J\\tname\\nfake\\\\row\n"), std::string::npos)
        << info.out;
}

// 400 devices on a terminal of 12 rows: one summary line, redrawn a few times a second, instead of 400
// lines redrawn at every step of every device.
TEST(Kvx100ctl, ProgressStaysWithinTheTerminal) {
    const Ctl ctl;
    QByteArray hosts;
    for (int i = 0; i < 400; ++i)
        hosts += "127.1." + QByteArray::number(i / 200) + "." + QByteArray::number(i % 200 + 1) + ":9\n";
    QDir().mkpath(ctl.path("backups"));
    const Result run = ctl({QStringLiteral("backup"), QStringLiteral("--hosts"), ctl.put("hosts", hosts),
                            ctl.path("backups"), QStringLiteral("--csv")},
                           true, 12);
    EXPECT_EQ(run.status, ctl::kExitFailed);
    EXPECT_LT(run.err.size(), 16384u);
    EXPECT_NE(run.err.find("400 of 400 finished (400 failed)"), std::string::npos);
}

TEST(Kvx100ctl, PrintableEscapesControlBytesUnambiguously) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"KVX-Trainer", "KVX-Trainer"},
        {"a\tb\r\nc", "a\\tb\\r\\nc"},
        {"\x1b[2J", "\\e[2J"},
        {std::string_view("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1f\\x7f"},
        {"C:\\n", "C:\\\\n"}, // a backslash and an n, not a line feed
        {"\xed\x95\x9c \xff", "\xed\x95\x9c \xff"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(fleet::printable(text), shown) << text;
    EXPECT_EQ(fleet::printableLines("one\ttwo\r\nthree\nfour\r\n"), "one\\ttwo\r\nthree\\nfour\r\n");
}

// A thread the system refuses costs one device, reported, and no other.
TEST(Kvx100ctl, AWorkerThatCannotStartFailsOneDevice) {
    std::atomic<int> starts = 0;
    const fleet::ThreadStarter refuseTheSecond = [&starts](std::function<void()> body) {
        if (++starts == 2)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(body));
    };
    std::mutex mutex;
    std::vector<int> runs(6, 0);
    std::vector<std::string> refused(6);
    fleet::runInParallel(
        6, 3,
        [&](std::size_t i) {
            // The first worker would otherwise take every device before the second start fails.
            while (starts < 3)
                std::this_thread::yield();
            const std::lock_guard lock(mutex);
            ++runs[i];
        },
        [&](std::size_t i, const std::string& reason) { refused[i] = reason; }, [] {}, refuseTheSecond);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(runs[i] + !refused[i].empty(), 1) << i;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 5);
    EXPECT_EQ(std::count_if(refused.begin(), refused.end(),
                            [](const std::string& r) { return r.starts_with("cannot start a worker: "); }),
              1);
}

// A stop halts a device that is only read at its next command; one that has begun to be changed is
// taken to the end, so that a cancel never leaves part of an apply behind.
TEST(FleetStop, AReadStopsAtItsNextCommandAnApplyRunsToItsEnd) {
    struct Case {
        fleet::Command command;
        const char* stopAt; // the progress text on which the stop is set
        bool ok;
    };
    for (const Case& c :
         {Case{fleet::Command::Info, "info", false}, Case{fleet::Command::Apply, "apply 1/", true}}) {
        const auto device = startDevice();
        std::atomic<bool> stop = false;
        fleet::CommandSettings settings;
        settings.command = c.command;
        settings.connect.credentials = {"admin", "admin"};
        settings.connect.stop = &stop;
        settings.configuration = ProfileFile::fromText("[MAXDT]\r\nMaxdt=3\r\n");
        fleet::Device target;
        target.address = *fleet::parseHostAddress(host(*device).toStdString());
        fleet::StreamTranscript quiet;
        const fleet::DeviceOutcome outcome = fleet::runOnDevice(
            settings, target, [&](const std::string& text) { stop = stop || text.starts_with(c.stopAt); },
            quiet);
        EXPECT_TRUE(stop) << c.stopAt;
        EXPECT_EQ(outcome.ok, c.ok) << c.stopAt << ": " << outcome.messages.join(u' ').toStdString();
        if (c.ok)
            EXPECT_EQ(outcome.sent, std::vector<std::string>{"maxdt 3;"});
        else
            EXPECT_TRUE(outcome.messages.join(u' ').contains(QStringLiteral("the run was cancelled")))
                << c.stopAt;
    }
}

// The fleet's loop: a template applied through an inventory converges each device to its own values,
// says what it would change before and that nothing is left to change after; only --replace removes
// what the file does not hold, after which diff finds the device equal to the file.
TEST(Kvx100ctl, ApplyConvergesEachDeviceToItsOwnValues) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString saved = ctl.path("saved.kcf");
    ASSERT_EQ(ctl({QStringLiteral("backup"), host(*device), saved}).status, ctl::kExitOk);
    QString error;
    ProfileFile wanted = ProfileFile::fromFile(saved, error).value();
    wanted.write("MAXDT", "Maxdt", "3");
    wanted.write("BTNAME", "Btname", "KVX-${name}");
    const QString file = ctl.put("fleet.kcf", QByteArray::fromStdString(wanted.text()));
    const QString inventory = ctl.put("inventory", "[lobby]\n" + host(*device).toUtf8() +
                                                       " name=\"Lobby 1\"\n[far]\n127.0.0.1:9 name=far\n");
    ASSERT_EQ(
        ctl({QStringLiteral("send"), host(*device), QStringLiteral("Bind 00:1B:DC:0F:B1:09 9109")}).status,
        ctl::kExitOk);
    const QStringList apply{QStringLiteral("apply"), file, QStringLiteral("--inventory"), inventory};

    // Every device of the inventory; the far one is not there.
    const Result check = ctl(apply + QStringList{QStringLiteral("--check"), QStringLiteral("--json")});
    EXPECT_EQ(check.status, ctl::kExitFailed) << check.out;
    const QJsonArray checked = QJsonDocument::fromJson(QByteArray::fromStdString(check.out)).array();
    ASSERT_EQ(checked.size(), 2);
    EXPECT_EQ(checked[0][QStringLiteral("status")].toString(), QStringLiteral("changed"));
    EXPECT_EQ(checked[0][QStringLiteral("groups")].toArray(),
              (QJsonArray{QStringLiteral("BTNAME"), QStringLiteral("MAXDT")}));
    EXPECT_EQ(checked[0][QStringLiteral("differences")][1].toObject(),
              (QJsonObject{{QStringLiteral("group"), QStringLiteral("MAXDT")},
                           {QStringLiteral("item"), QStringLiteral("Maxdt")},
                           {QStringLiteral("device"), QStringLiteral("7")},
                           {QStringLiteral("file"), QStringLiteral("3")}}));
    EXPECT_EQ(checked[1][QStringLiteral("status")].toString(), QStringLiteral("failed"));
    EXPECT_EQ(device->bluetoothName(), "KVX-Trainer");

    const QStringList lobby = apply + QStringList{QStringLiteral("--group"), QStringLiteral("lobby")};
    const Result applied = ctl(lobby);
    EXPECT_EQ(applied.status, ctl::kExitOk) << applied.err;
    EXPECT_NE(applied.out.find("changed: BTNAME, MAXDT\n"), std::string::npos) << applied.out;
    EXPECT_EQ(device->bluetoothName(), "KVX-Lobby 1");

    // Nothing left to change: the device is read twice and written to not at all.
    const std::size_t before = device->receivedCommands().size();
    const Result again = ctl(lobby);
    EXPECT_EQ(again.status, ctl::kExitOk);
    EXPECT_EQ(again.out, "unchanged\n");
    const std::vector<std::string> received = device->receivedCommands();
    EXPECT_TRUE(std::none_of(received.begin() + std::ptrdiff_t(before), received.end(),
                             [](const std::string& line) { return line.ends_with(";"); }));

    // The bound device the file does not hold stays until --replace releases it.
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), saved}).status, ctl::kExitDifferent);
    const Result replaced = ctl({QStringLiteral("apply"), saved, host(*device), QStringLiteral("--replace"),
                                 QStringLiteral("--verbose"), QStringLiteral("--csv")});
    EXPECT_EQ(replaced.status, ctl::kExitOk) << replaced.err;
    EXPECT_EQ(replaced.out, "host,status,step,message,groups,changed,sent\n\"" + host(*device).toStdString() +
                                "\",changed,\"apply\",\"\",\"BIND BTNAME MAXDT\",true,"
                                "\"btname KVX-Trainer; | maxdt 7; | Rele 9109\"\n");
    EXPECT_NE(replaced.err.find("\nRele 9109\r\n"), std::string::npos) << replaced.err;
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), saved}).status, ctl::kExitOk);
}

// Every command that sends from a file passes the one gate, after the device's variables are in, and a
// refusal names the operator's file and line, and the variable and inventory line a value came from.
TEST(Kvx100ctl, NoLineOfAFileCarriesACommandOfItsOwn) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString evil = ctl.put("evil.kcf", "[MAXDT]\r\nMaxdt=7\r\n[BTNAME]\r\nBtname=Evil;mode client\r\n");
    const QString escape = ctl.put("escape.kcf", "[BTNAME]\r\nBtname=Dock\x1b[2J\r\n");
    const QString templ = ctl.put("template.kcf", "[BTNAME]\r\nBtname=KVX-${name}\r\n");
    const QString inventory =
        ctl.put("inventory", "# lobby\n" + host(*device).toUtf8() + " name=\"lobby-1;mode;Reboot\"\n");
    const std::string unsendable =
        " holds \";\" or a control character, which cannot be sent. Nothing was sent.";
    const std::string prefix = host(*device).toStdString() + ": file: Line ";
    struct Case {
        QStringList arguments;
        std::string err;
    };
    const Case cases[] = {
        {{QStringLiteral("apply"), evil, host(*device)},
         prefix + "4 of " + evil.toStdString() + " (key Btname in section BTNAME)" + unsendable},
        {{QStringLiteral("restore"), host(*device), evil},
         prefix + "4 of " + evil.toStdString() + " (key Btname in section BTNAME)" + unsendable},
        {{QStringLiteral("diff"), host(*device), escape},
         prefix + "2 of " + escape.toStdString() + " (key Btname in section BTNAME)" + unsendable},
        {{QStringLiteral("apply"), templ, QStringLiteral("--inventory"), inventory},
         prefix + "2 of " + templ.toStdString() + " (key Btname in section BTNAME)" + unsendable +
             " The value holds ${name} of " + host(*device).toStdString() + " (line 2 of " +
             inventory.toStdString() + ")."},
    };
    for (const Case& c : cases) {
        const Result run = ctl(c.arguments);
        EXPECT_EQ(run.status, ctl::kExitFailed) << c.err;
        EXPECT_EQ(run.err, c.err + "\n");
    }
    EXPECT_EQ(device->connectionsAccepted(), 0u);
}

// A line the device sends unasked shifts every later reply by one: the reading that meets it fails, and
// apply writes nothing from it, wherever in the reading it comes.
TEST(Kvx100ctl, AReplyNobodyAskedForFailsTheReadingAndWritesNothing) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString file = ctl.put("maxdt.kcf", "[MAXDT]\r\nMaxdt=3\r\n");
    const std::pair<const char*, const char*> cases[] = {
        {"backup", "station"}, {"apply", "station"}, {"apply", "route"}, {"info", "Maxdt"}};
    for (const auto& [command, after] : cases) {
        sim::FaultOptions faults;
        // Every reply a little late, the unasked line sooner: it comes first and is taken as the next
        // command's reply.
        faults.replyDelay = 40ms;
        faults.strayAfterCommands = {after};
        faults.strayDelay = 10ms;
        device->setFaults(faults);
        const std::size_t before = device->receivedCommands().size();
        const QString name = QLatin1String(command);
        const Result run =
            ctl(name == QLatin1String("backup")  ? QStringList{name, host(*device), ctl.path("b.kcf")}
                : name == QLatin1String("apply") ? QStringList{name, file, host(*device)}
                                                 : QStringList{name, host(*device)});
        EXPECT_EQ(run.status, ctl::kExitFailed) << command << " " << after << "\n" << run.out;
        EXPECT_NE(run.err.find("A reply came that no command asked for"), std::string::npos)
            << command << " " << after << "\n"
            << run.err;
        const std::vector<std::string> received = device->receivedCommands();
        EXPECT_TRUE(std::none_of(received.begin() + std::ptrdiff_t(before), received.end(),
                                 [](const std::string& line) { return line.ends_with(";"); }))
            << command << " " << after;
    }
    EXPECT_FALSE(QFile::exists(ctl.path("b.kcf")));
}

// A name that is no UTF-8 (Latin-1, CP949) goes back as the bytes it came as, however it is shown, and
// past the 49 characters of the original reader.
TEST(Kvx100ctl, ANameGoesBackByteForByte) {
    sim::DeviceOptions options;
    options.btName = "Caf\xe9 \xc7\xd1\xb1\xdb " + std::string(60, 'n');
    const auto device = startDevice(options);
    const Ctl ctl;
    const QString saved = ctl.path("saved.kcf");
    ASSERT_EQ(ctl({QStringLiteral("backup"), host(*device), saved}).status, ctl::kExitOk);
    ASSERT_EQ(ctl({QStringLiteral("send"), host(*device), QStringLiteral("BTName other")}).status,
              ctl::kExitOk);
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), saved}).status, ctl::kExitDifferent);
    const Result restored = ctl({QStringLiteral("restore"), host(*device), saved});
    EXPECT_EQ(restored.status, ctl::kExitOk) << restored.err;
    EXPECT_EQ(device->bluetoothName(), options.btName);
    EXPECT_EQ(ctl({QStringLiteral("diff"), host(*device), saved}).status, ctl::kExitOk);
}

// A variable the inventory does not give fails that device before it is contacted.
TEST(Kvx100ctl, AMissingVariableSendsNothing) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString file = ctl.put("template.kcf", "[BTNAME]\r\nBtname=${room}\r\n");
    const Result run = ctl({QStringLiteral("apply"), file, host(*device)});
    EXPECT_EQ(run.status, ctl::kExitFailed);
    EXPECT_EQ(run.err, host(*device).toStdString() + ": file: ${room} has no value for this device\n");
    EXPECT_EQ(device->connectionsAccepted(), 0u);
}

// Without --user and --password-file the environment gives them; the command line wins over it.
TEST(Kvx100ctl, CredentialsComeFromTheEnvironmentUnlessGiven) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString wrong = ctl.put("wrong-password", "nope\n");
    QFile::setPermissions(wrong, QFile::ReadOwner | QFile::WriteOwner);
    struct Case {
        const char* user;
        QString passwordFile;
        QStringList options;
        int status;
    };
    const Case cases[] = {
        {"admin", ctl.path("password"), {}, ctl::kExitOk},
        {"admin", wrong, {QStringLiteral("--password-file"), ctl.path("password")}, ctl::kExitOk},
        {"admin",
         ctl.path("password"),
         {QStringLiteral("--user"), QStringLiteral("nobody")},
         ctl::kExitFailed},
        {"", ctl.path("password"), {}, ctl::kExitUsage},
    };
    for (const Case& c : cases) {
        qputenv("KVX100CTL_USER", c.user);
        qputenv("KVX100CTL_PASSWORD_FILE", QFile::encodeName(c.passwordFile));
        const Result run = ctl(
            QStringList{QStringLiteral("send"), host(*device), QStringLiteral("Maxdt")} + c.options, false);
        EXPECT_EQ(run.status, c.status) << c.user << " " << c.options.join(u' ').toStdString() << run.err;
    }
    qunsetenv("KVX100CTL_USER");
    qunsetenv("KVX100CTL_PASSWORD_FILE");
    const Result help = ctl({QStringLiteral("backup"), QStringLiteral("--help")}, false);
    for (const char* variable : {"$KVX100CTL_USER", "$KVX100CTL_PASSWORD_FILE"})
        EXPECT_NE(help.out.find(variable), std::string::npos) << variable;
}

// A probe whose answer never comes (here: to a closed port) costs a backup no time; the identity it
// would have given is "unknown", and the name is the one the device has now, as the backup read it.
TEST(Kvx100ctl, ABackupDoesNotWaitForTheIdentity) {
    const auto device = startDevice();
    const Ctl ctl;
    ASSERT_EQ(ctl({QStringLiteral("send"), host(*device), QStringLiteral("BTName Renamed")}).status,
              ctl::kExitOk);
    net::Socket probe = net::open(net::Type::Datagram);
    ASSERT_TRUE(net::bind(probe, {0x7F000001, 0}));
    const std::optional<net::Endpoint> closed = net::localEndpoint(probe);
    net::close(probe);
    ASSERT_TRUE(closed);

    const auto start = std::chrono::steady_clock::now();
    const Result backup = ctl({QStringLiteral("backup"), host(*device), QStringLiteral("-"),
                               QStringLiteral("--discovery-port"), QString::number(closed->port)});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 600ms);
    EXPECT_EQ(backup.status, ctl::kExitOk) << backup.err;
    EXPECT_TRUE(
        backup.out.starts_with("; Lumeno-KVX100 configuration backup\r\n; Name: Renamed\r\n; Model: "
                               "unknown\r\n; Serial: unknown\r\n; MAC: unknown\r\n; Firmware: 2.1.0\r\n"))
        << backup.out;
}

// A backup on the standard output starts with the device's identity, which a restore passes over; an
// inventory's own credentials serve a device whose password differs from the command line's.
TEST(Kvx100ctl, ABackupOnTheStandardOutputNamesTheDevice) {
    sim::DeviceOptions options;
    options.password = "other";
    const auto device = startDevice(options);
    const Ctl ctl;
    const QString password = ctl.put("other-password", "other\n");
    QFile::setPermissions(password, QFile::ReadOwner | QFile::WriteOwner);
    const QString inventory = ctl.put(
        "inventory", host(*device).toUtf8() + " user=admin password_file=" + password.toUtf8() + "\n");
    const QStringList withInventory{QStringLiteral("--inventory"), inventory,
                                    QStringLiteral("--discovery-port"),
                                    QString::number(device->discoveryPort())};
    const Result backup =
        ctl(QStringList{QStringLiteral("backup"), QStringLiteral("-")} + withInventory, false);
    EXPECT_EQ(backup.status, ctl::kExitOk) << backup.err;
    for (const char* line : {"; Lumeno-KVX100 configuration backup\r\n", "; Name: KVX-Trainer\r\n",
                             "; Serial: KVX100-000001\r\n", "; MAC: 00:1A:2B:3C:4D:5E\r\n",
                             "; Firmware: 2.1.0\r\n", "\r\n[MODE]\r\n"})
        EXPECT_NE(backup.out.find(line), std::string::npos) << line << backup.out;
    const QString file = ctl.put("stdout.kcf", QByteArray::fromStdString(backup.out));
    EXPECT_EQ(ctl(QStringList{QStringLiteral("diff"), file} + withInventory, false).status, ctl::kExitOk);
}

// --replace, cut off by the device after each of its commands in turn: whatever the position, the
// device keeps every entry and route that both it and the file held, and the report names exactly the
// lines the device took.
TEST(Kvx100ctl, AnInterruptedReplaceNeverTakesWhatTheFileKeeps) {
    const auto device = startDevice();
    const Ctl ctl;
    const QString start = ctl.path("start.kcf");
    const QStringList probe{QStringLiteral("--discovery-port"), QString::number(device->discoveryPort())};
    ASSERT_EQ(ctl(QStringList{QStringLiteral("backup"), host(*device), start} + probe).status, ctl::kExitOk);
    QString error;
    ProfileFile wanted = ProfileFile::fromFile(start, error).value();
    // One entry of each list replaced by another, and a setting changed.
    ProfileFile kept = wanted;
    for (const auto& [section, key, value] :
         std::vector<std::array<std::string, 3>>{{"BIND", "2Name", "00:1B:DC:0F:B1:07"},
                                                 {"BIND", "2Port", "10007"},
                                                 {"SERV", "2Name", "Dock"},
                                                 {"SERV", "2Server", "192.168.0.30:9100"},
                                                 {"ROUTE", "3From", "00:1B:DC:0F:A1:06"},
                                                 {"ROUTE", "3To", "00:1B:DC:0F:A1:07"},
                                                 {"MAXDT", "Maxdt", "3"}})
        wanted.write(section, key, value);
    // What both hold: the file without its new entries.
    kept.write("BIND", "SUM", "2");
    kept.write("SERV", "2Name", "");
    kept.write("SERV", "2Server", "");
    kept.write("ROUTE", "SUM", "3");
    const QString file = ctl.put("wanted.kcf", QByteArray::fromStdString(wanted.text()));
    const auto keptLists = [&](const ProfileFile& after) {
        std::vector<fleet::Difference> lost;
        for (const fleet::Difference& d : fleet::differencesOf(after, kept, fleet::ListMatch::Contains))
            if (!d.device &&
                (d.group == "BIND" || d.group == "ROUTE" || (d.group == "SERV" && d.item != " ")))
                lost.push_back(d);
        return lost;
    };

    for (int k = 1;; ++k) {
        // The device as it was, then cut off after its k-th command on each connection.
        device->setFaults({});
        ASSERT_EQ(ctl({QStringLiteral("apply"), start, host(*device), QStringLiteral("--replace")}).status,
                  ctl::kExitOk);
        sim::FaultOptions faults;
        faults.closeAfterCommands = k;
        device->setFaults(faults);
        const std::size_t before = device->receivedCommands().size();
        const Result run = ctl({QStringLiteral("apply"), file, host(*device), QStringLiteral("--replace"),
                                QStringLiteral("--json")});
        const std::vector<std::string> received = device->receivedCommands();
        device->setFaults({});
        const QString after = ctl.path("after.kcf");
        ASSERT_EQ(ctl(QStringList{QStringLiteral("backup"), host(*device), after} + probe).status,
                  ctl::kExitOk);
        EXPECT_EQ(keptLists(ProfileFile::fromFile(after, error).value()), std::vector<fleet::Difference>{})
            << "cut after command " << k << "\n"
            << run.out;

        // Every line reported as taken reached the device.
        const QJsonObject report =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array()[0].toObject();
        for (const QJsonValue& line : report[QStringLiteral("sent")].toArray())
            EXPECT_NE(std::find(received.begin() + std::ptrdiff_t(before), received.end(),
                                line.toString().toStdString()),
                      received.end())
                << line.toString().toStdString();
        EXPECT_EQ(report[QStringLiteral("changed")].toBool(),
                  !report[QStringLiteral("sent")].toArray().isEmpty());
        if (run.status == ctl::kExitOk)
            break;
        ASSERT_LT(k, 200) << "the run never got through";
    }
}
