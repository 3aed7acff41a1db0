// What only Linux gives a test: a private network namespace and its interface flags, the process's peak
// memory, FIFOs, and symbolic links that any account can make and that are replaced rather than refused.
#include "ctl/command_line.h"
#include "ctl_run.h"
#include "logged_in_link.h"
#include "platform/net.h"
#include "private_file.h"
#include "sim/discovery_reply.h"
#include "sim/simulated_device.h"
#include "sim_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

// Binding every address is done only inside a private network namespace, where loopback is the only
// interface: the test runs itself again under "unshare -rn" and reports what that run found.
TEST(SimulatedDevice, DiscoveryOnEveryAddressNamesTheAddressTheRequestArrivedOn) {
    if (std::getenv("KVX_SIM_PRIVATE_NETNS") == nullptr) {
        if (std::system("unshare -rn true >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no private network namespace available (unshare -rn failed)";
        char self[4096] = {};
        ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
        const std::string command = "KVX_SIM_PRIVATE_NETNS=1 unshare -rn '" + std::string(self) +
                                    "' --gtest_filter=SimulatedDevice.DiscoveryOnEveryAddress* 2>&1";
        std::FILE* child = ::popen(command.c_str(), "r");
        ASSERT_NE(child, nullptr);
        std::string output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, child)) > 0;)
            output.append(buffer, n);
        const int status = ::pclose(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    ASSERT_EQ(::ioctl(fd, SIOCGIFFLAGS, &request), 0) << std::strerror(errno);
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    ASSERT_EQ(::ioctl(fd, SIOCSIFFLAGS, &request), 0) << std::strerror(errno);
    ::close(fd);

    sim::DeviceOptions options;
    options.bindAddress = "0.0.0.0";
    options.discoveryPort = 0;
    options.controlPort = 0;
    sim::SimulatedDevice device(options);
    ASSERT_TRUE(device.start()) << device.lastError();
    net::Socket probe = net::open(net::Type::Datagram);
    const std::string discoveryRequest = "\xFA\x05\x21\xEA";
    net::sendTo(probe, discoveryRequest.data(), discoveryRequest.size(),
                {0x7F000001, device.discoveryPort()});
    net::PollEntry entry{probe, net::kReadable};
    std::string reply(2048, '\0');
    const std::ptrdiff_t n =
        net::poll({&entry, 1}, 1000) == 1 ? net::receive(probe, reply.data(), reply.size()) : -1;
    reply.resize(static_cast<std::size_t>(std::max<std::ptrdiff_t>(n, 0)));
    net::close(probe);
    EXPECT_EQ(reply, sim::buildDiscoveryReply(options, "127.0.0.1", device.controlPort()));
}

namespace {

long peakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

// A device that answers "+OK " and then streams without a line end fails the transaction once the
// reply passes its bound, on both paths, and the memory taken stays near that bound.
TEST(Transact, AFloodingReplyFailsWithinItsBound) {
    for (const int wait : {1, 0}) {
        SCOPED_TRACE(wait);
        LoggedInLink s;
        s.faults([](sim::FaultOptions& f) { f.floodCommands = {"Mode"}; });
        const long before = peakResidentKiB();
        EXPECT_EQ(s.link.transact("Mode\r\n", wait, s.transcript), "");
        EXPECT_LT(peakResidentKiB() - before, 16 * 1024) << "KiB taken by the flood";
        EXPECT_EQ(s.transcript.echoed, "Mode\r\n") << "the flood is not echoed";
    }
}

namespace {

QString put(const QTemporaryDir& dir, const char* name, const QByteArray& data) {
    const QString path = test::writePrivateFile(dir, name, data);
    EXPECT_FALSE(path.isEmpty()) << name;
    return path;
}

QStringList credentials(const QTemporaryDir& dir) {
    return {QStringLiteral("--user"), QStringLiteral("admin"), QStringLiteral("--password-file"),
            put(dir, "password", "admin\n")};
}

} // namespace

// A FIFO without a writer is refused as an input file before anything waits on it.
TEST(Kvx100ctl, AFifoIsRefusedAsAnInputFile) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.kcf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const CtlResult run =
        runCtl(QStringList{QStringLiteral("diff"), QStringLiteral("127.0.0.1:9"), fifo} + credentials(dir));
    EXPECT_EQ(run.status, ctl::kExitUsage);
    EXPECT_NE(run.err.find("fifo.kcf"), std::string::npos) << run.err;
}

TEST(Kvx100ctl, TheLogReplacesALinkAtItsPathInsteadOfWritingThroughIt) {
    const auto device = startDevice();
    device->setLog("boot");
    QTemporaryDir dir;
    const QString other = put(dir, "other", "precious");
    const QString path = dir.filePath(QStringLiteral("device.log"));
    ASSERT_TRUE(QFile::link(other, path));
    const QString host = QStringLiteral("127.0.0.1:%1").arg(device->controlPort());
    EXPECT_EQ(runCtl(QStringList{QStringLiteral("log"), host, path} + credentials(dir)).status, ctl::kExitOk);
    QFile kept(other);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "precious");
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().startsWith("boot\r\n"));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
}
