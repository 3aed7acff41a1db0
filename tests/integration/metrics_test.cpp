// kvx100ctl metrics against simulated devices on loopback, run in-process; the output must pass the
// Prometheus project's own checker.
#include "ctl/command_line.h"
#include "ctl_run.h"
#include "private_file.h"
#include "sim_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace kvx;
using namespace kvx::test;

namespace {

// kvx100ctl metrics, or with `asMetrics` false the command the arguments start with, logged in as admin.
CtlResult metrics(QStringList arguments, const QTemporaryDir& dir, bool asMetrics = true) {
    const QString password = test::writePrivateFile(dir, "password", "admin\n");
    EXPECT_FALSE(password.isEmpty());
    return runCtl((asMetrics ? QStringList{QStringLiteral("metrics")} : QStringList()) + arguments +
                  QStringList{QStringLiteral("--user"), QStringLiteral("admin"),
                              QStringLiteral("--password-file"), password});
}

QString host(const char* address, const sim::SimulatedDevice& device) {
    return QStringLiteral("%1:%2").arg(QLatin1String(address)).arg(device.controlPort());
}

// promtool's findings, empty when the text passes without a warning.
std::string promtoolFindings(const std::string& text) {
    const QString promtool = QStringLiteral("/usr/bin/promtool");
    if (!QFile::exists(promtool))
        return "promtool is not installed (Debian package prometheus)";
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(promtool, {QStringLiteral("check"), QStringLiteral("metrics")});
    check.write(text.data(), qint64(text.size()));
    check.closeWriteChannel();
    if (!check.waitForFinished(30000))
        return "promtool did not finish";
    const std::string said = check.readAll().toStdString();
    return check.exitCode() == 0 && said.empty() ? std::string()
                                                 : "exit " + std::to_string(check.exitCode()) + ": " + said;
}

} // namespace

// One device answers (with two links, renamed since its discovery answer was made), one refuses the
// login, one is gone: each keeps the series that say how far it got, and the failures are told as in
// every report.
TEST(Kvx100ctlMetrics, AFailedDeviceSaysHowFarItGot) {
    sim::DeviceOptions options;
    options.btName = "Before";
    options.initialMode = 3;
    options.links = {{"00:1B:DC:0F:A1:01", "Scanner", 220, -3, "1", 1234, 5678},
                     {"00:1B:DC:0F:A1:02", "Printer", 205, -9, "2", 7, 8}};
    const auto answering = startDevice(options);
    // On an address of its own, so that it answers the probe with its own identity.
    sim::DeviceOptions refusing;
    refusing.bindAddress = "127.0.0.2";
    refusing.discoveryPort = answering->discoveryPort();
    refusing.password = "other";
    sim::SimulatedDevice refuser(refusing);
    ASSERT_TRUE(refuser.start()) << refuser.lastError();
    const auto gone = startDevice();
    gone->stop();

    const QTemporaryDir dir;
    const QString discovery = QString::number(answering->discoveryPort());
    ASSERT_EQ(metrics({QStringLiteral("send"), host("127.0.0.1", *answering), QStringLiteral("BTName Now"),
                       QStringLiteral("--discovery-port"), discovery},
                      dir, false)
                  .status,
              ctl::kExitOk);
    const std::string a = host("127.0.0.1", *answering).toStdString();
    const std::string r = host("127.0.0.2", refuser).toStdString();
    const std::string g = host("127.0.0.1", *gone).toStdString();
    const CtlResult run = metrics({host("127.0.0.1", *answering), host("127.0.0.2", refuser),
                                   host("127.0.0.1", *gone), QStringLiteral("--discovery-port"), discovery},
                                  dir);
    EXPECT_EQ(run.status, ctl::kExitFailed);
    EXPECT_EQ(run.err, r + ": login: Check User name and Password.\n" + g +
                           ": connect: Lumeno-KVX Connection is failed. " + g + ": Connection refused.\n");
    const auto device = [](const std::string& label) {
        return "{device=\"" + label + "\"";
    };
    for (const std::string& line : {
             "kvx_up" + device(a) + "} 1",
             "kvx_up" + device(r) + "} 0",
             "kvx_up" + device(g) + "} 0",
             "kvx_login_success" + device(a) + "} 1",
             "kvx_login_success" + device(r) + "} 0",
             "kvx_operation_mode" + device(a) + ",mode=\"repeater\"} 1",
             "kvx_operation_mode" + device(a) + ",mode=\"server\"} 0",
             "kvx_device_info" + device(a) +
                 ",firmware=\"2.1.0\",model=\"100\",serial=\"KVX100-000001\",mac=\"00:1A:2B:3C:4D:5E\","
                 "name=\"Now\"} 1",
             "kvx_links" + device(a) + "} 2",
             "kvx_link_quality" + device(a) + ",link=\"00:1B:DC:0F:A1:01\"} 220",
             "kvx_link_signal" + device(a) + ",link=\"00:1B:DC:0F:A1:02\"} -9",
             "kvx_link_transmitted_total" + device(a) + ",link=\"00:1B:DC:0F:A1:01\"} 1234",
             "kvx_link_received_total" + device(a) + ",link=\"00:1B:DC:0F:A1:02\"} 8",
         })
        EXPECT_NE(run.out.find("\n" + line + "\n"), std::string::npos) << line << "\n" << run.out;
    // What a device did not tell is left out, not reported as 0 or as an empty label.
    for (const std::string& absent :
         {"kvx_login_success" + device(g), "kvx_device_info" + device(r), "kvx_device_info" + device(g),
          "kvx_operation_mode" + device(r), "kvx_links" + device(r)})
        EXPECT_EQ(run.out.find(absent), std::string::npos) << absent << "\n" << run.out;
    EXPECT_EQ(promtoolFindings(run.out), "") << run.out;
}

// Each Bluetooth name on a device of its own: the label shows it printable and one to one, and the
// checker takes the whole text.
TEST(Kvx100ctlMetrics, LabelValuesArePrintableAndDistinct) {
    const std::pair<std::string, std::string> cases[] = {
        {"Desk \"7\" \\ east", "Desk \\\"7\\\" \\\\\\\\ east"},
        {"tab\there", "tab\\\\x09here"},
        {"esc\x1b[2J", "esc\\\\x1b[2J"},
        {"del\x7f", "del\\\\x7f"},
        {"a\\x01", "a\\\\\\\\x01"}, // the text of an escape, not a control byte
        {"caf\xc3\xa9", "caf\xc3\xa9"},
        {"caf\xe9", "caf\\\\xe9"},
        {"caf\xe8", "caf\\\\xe8"},
        {"csi\xc2\x9b", "csi\\\\xc2\\\\x9b"},
        {"over\xc0\xaf", "over\\\\xc0\\\\xaf"},
        {"cut\xe2\x82", "cut\\\\xe2\\\\x82"},
    };
    std::vector<std::unique_ptr<sim::SimulatedDevice>> devices;
    QStringList arguments;
    std::uint16_t discoveryPort = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        sim::DeviceOptions options;
        options.btName = cases[i].first;
        // Each on an address of its own, all answering the probe on one port.
        options.bindAddress = "127.0.0." + std::to_string(10 + i);
        options.discoveryPort = discoveryPort;
        devices.push_back(std::make_unique<sim::SimulatedDevice>(options));
        ASSERT_TRUE(devices.back()->start()) << devices.back()->lastError();
        discoveryPort = devices.back()->discoveryPort();
        arguments << host(options.bindAddress.c_str(), *devices.back());
    }
    const QTemporaryDir dir;
    const CtlResult run =
        metrics(arguments + QStringList{QStringLiteral("--discovery-port"), QString::number(discoveryPort),
                                        QStringLiteral("--parallel"), QStringLiteral("16")},
                dir);
    EXPECT_EQ(run.status, ctl::kExitOk) << run.err;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string info = "\nkvx_device_info{device=\"" + arguments[int(i)].toStdString() + "\",";
        const std::size_t at = run.out.find(info);
        ASSERT_NE(at, std::string::npos) << info << run.out;
        const std::string line = run.out.substr(at + 1, run.out.find('\n', at + 1) - at - 1);
        EXPECT_TRUE(line.ends_with(",name=\"" + cases[i].second + "\"} 1")) << line;
    }
    EXPECT_EQ(promtoolFindings(run.out), "") << run.out;
}

TEST(Kvx100ctlMetrics, TheTextfileIsWrittenAndNothingPrinted) {
    const auto device = startDevice();
    const QTemporaryDir dir;
    const CtlResult run =
        metrics({host("127.0.0.1", *device), QStringLiteral("--textfile"), dir.path(),
                 QStringLiteral("--discovery-port"), QString::number(device->discoveryPort())},
                dir);
    EXPECT_EQ(run.status, ctl::kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    QFile file(dir.filePath(QStringLiteral("kvx100ctl.prom")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string text = file.readAll().toStdString();
    EXPECT_NE(text.find("\nkvx_up{device=\"" + host("127.0.0.1", *device).toStdString() + "\"} 1\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(promtoolFindings(text), "") << text;
}
