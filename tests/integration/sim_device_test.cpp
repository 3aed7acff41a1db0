// The simulated device over loopback sockets, seen from a peer that knows nothing of its insides.

#include "platform/net.h"
#include "sim/fleet.h"
#include "sim/simulated_device.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
namespace net = kvx::net;
using kvx::sim::DeviceOptions;
using kvx::sim::FaultOptions;
using kvx::sim::SimulatedDevice;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kReplyWait{1000}; // generous bound for a reply that must come
constexpr milliseconds kQuiet{250};      // how long "nothing arrives" is watched

const std::string kRequest = "\xFA\x05\x21\xEA"s;

constexpr std::uint32_t kLoopback = 0x7F000001;
// Far above a refusal's few milliseconds, and above the retries some stacks make before they report it.
constexpr milliseconds kConnectBound{5000};

// 0 when a TCP connect to 127.0.0.1:port succeeds, else its error. With a source, the connection comes
// from that loopback address, as from another peer.
int connectError(std::uint16_t port, net::Socket* connected = nullptr, const char* source = nullptr) {
    net::Socket socket = net::open(net::Type::Stream);
    if (socket == net::kNoSocket)
        return net::lastError();
    if (source && !net::bind(socket, {net::parseIpv4(source).value_or(0), 0})) {
        const int error = net::lastError();
        net::close(socket);
        return error;
    }
    const int result = net::connectWithin(socket, {kLoopback, port}, kConnectBound);
    if (result == 0 && connected)
        *connected = socket;
    else
        net::close(socket);
    return result;
}

struct Received {
    std::string text;
    int receives = 0;
    bool closed = false;
};

// A control connection whose every receive is bounded by a poll time-out.
class Client {
public:
    explicit Client(std::uint16_t port, const char* source = nullptr) {
        m_error = connectError(port, &m_socket, source);
        // Sends without waiting, so that a peer which stops reading stops send() within its poll's second.
        if (m_error == 0 && !net::setNonBlocking(m_socket, true))
            m_error = net::lastError();
    }
    ~Client() { net::close(m_socket); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    int error() const { return m_error; }

    void send(std::string_view bytes) {
        while (!bytes.empty()) {
            net::PollEntry entry{m_socket, net::kWritable};
            if (net::poll({&entry, 1}, 1000) <= 0)
                return;
            const std::ptrdiff_t n = net::send(m_socket, bytes.data(), bytes.size());
            if (n < 0 && net::lastError() == EWOULDBLOCK)
                continue;
            if (n <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Collects until done(text) holds, the peer closes, or `wait` has passed since the call.
    Received receiveUntil(const std::function<bool(const std::string&)>& done, milliseconds wait) {
        Received result;
        const auto deadline = Clock::now() + wait;
        while (!done(result.text)) {
            const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            net::PollEntry entry{m_socket, net::kReadable};
            if (left <= 0 || net::poll({&entry, 1}, static_cast<int>(left)) <= 0)
                break;
            char buffer[65536];
            const std::ptrdiff_t n = net::receive(m_socket, buffer, sizeof buffer);
            if (n < 0 && net::lastError() == EWOULDBLOCK)
                continue;
            if (n <= 0) {
                result.closed = true;
                break;
            }
            ++result.receives;
            result.text.append(buffer, static_cast<std::size_t>(n));
        }
        return result;
    }

    Received receiveLine(milliseconds wait = kReplyWait) {
        return receiveUntil([](const std::string& t) { return t.find("\r\n") != std::string::npos; }, wait);
    }
    Received receiveAll(milliseconds wait = kQuiet) {
        return receiveUntil([](const std::string&) { return false; }, wait);
    }
    std::string ask(std::string_view line) {
        send(std::string(line) + "\r\n");
        return receiveLine().text;
    }

private:
    net::Socket m_socket = net::kNoSocket;
    int m_error = 0;
};

class UdpProbe {
public:
    UdpProbe()
        : m_socket(net::open(net::Type::Datagram)) {}
    ~UdpProbe() { net::close(m_socket); }
    UdpProbe(const UdpProbe&) = delete;
    UdpProbe& operator=(const UdpProbe&) = delete;

    void send(std::uint16_t port, const std::string& datagram, const char* address = "127.0.0.1") {
        net::sendTo(m_socket, datagram.data(), datagram.size(), {net::parseIpv4(address).value_or(0), port});
    }
    std::optional<std::string> receive(milliseconds wait) {
        net::PollEntry entry{m_socket, net::kReadable};
        if (net::poll({&entry, 1}, static_cast<int>(wait.count())) <= 0)
            return std::nullopt;
        char buffer[2048];
        const std::ptrdiff_t n = net::receive(m_socket, buffer, sizeof buffer);
        return n < 0 ? std::nullopt
                     : std::optional<std::string>(std::string(buffer, static_cast<std::size_t>(n)));
    }

private:
    net::Socket m_socket;
};

// Written against the published datagram layout, not against the device's own builder.
std::map<int, std::string> decodeDiscoveryReply(const std::string& datagram) {
    std::map<int, std::string> records;
    if (datagram.rfind("\xFA\x05\x21\xEF"s, 0) != 0)
        return records;
    std::size_t at = 4;
    for (int i = 0; i < 8; ++i) {
        if (at + 2 > datagram.size())
            return {};
        const int type = static_cast<unsigned char>(datagram[at]);
        const std::size_t length = static_cast<unsigned char>(datagram[at + 1]);
        if (at + 2 + length > datagram.size())
            return {};
        records[type] = datagram.substr(at + 2, length);
        at += 2 + length;
    }
    if (at != datagram.size())
        records[-1] = "trailing bytes";
    return records;
}

bool everyLineEndsInCrLf(const std::string& text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        if (at == 0 || text[at - 1] != '\r')
            return false;
    }
    return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
}

DeviceOptions loopbackOptions() {
    DeviceOptions options;
    options.discoveryPort = 0;
    options.controlPort = 0;
    options.rebootDowntime = 300ms;
    return options;
}

class SimDeviceTest : public ::testing::Test {
protected:
    void startDevice(const DeviceOptions& options = loopbackOptions()) {
        m_device = std::make_unique<SimulatedDevice>(options);
        ASSERT_TRUE(m_device->start()) << m_device->lastError();
    }

    std::unique_ptr<Client> connectClient(const char* source = nullptr) {
        auto client = std::make_unique<Client>(m_device->controlPort(), source);
        EXPECT_EQ(client->error(), 0);
        EXPECT_EQ(client->receiveLine().text, "Lumeno-KVX100 ready\r\n");
        return client;
    }

    std::unique_ptr<Client> loggedIn() {
        auto client = connectClient();
        EXPECT_EQ(client->ask("User admin"), "+OK Password required\r\n");
        EXPECT_EQ(client->ask("Pass admin"), "+OK User Authenticated\r\n");
        return client;
    }

    std::unique_ptr<SimulatedDevice> m_device;
};

// ---- discovery --------------------------------------------------------------------------------------

TEST(DiscoveryReplyTest, RecordsCarryTheOptionsInWireForm) {
    struct Row {
        const char* label;
        std::function<void(DeviceOptions&)> change;
        std::string ip;
        std::uint16_t port;
        std::map<int, std::string> expected;
    };
    const std::string longName(300, 'n');
    const std::vector<Row> rows = {
        {"defaults",
         [](DeviceOptions&) {},
         "127.0.0.1",
         9000,
         {{1, "Lumeno-KVX100"},
          {2, "100"},
          {3, "KVX100-000001"},
          {4, "\x7F\x00\x00\x01"s},
          {5, "\x23\x28"s},
          {6, "\x00\x1A\x2B\x3C\x4D\x5E"s},
          {7, "KVX-Trainer"},
          {8, "\x55\x44\x33\x22\x11\x00"s}}},
        {"lower-case addresses, port 9097",
         [](DeviceOptions& o) {
             o.macAddress = "0a:0b:0c:0d:0e:0f";
             o.btAddress = "01:02:03:04:05:06";
             o.modelCode = "101";
         },
         "192.168.0.10",
         9097,
         {{1, "Lumeno-KVX100"},
          {2, "101"},
          {3, "KVX100-000001"},
          {4, "\xC0\xA8\x00\x0A"s},
          {5, "\x23\x89"s},
          {6, "\x0A\x0B\x0C\x0D\x0E\x0F"s},
          {7, "KVX-Trainer"},
          {8, "\x06\x05\x04\x03\x02\x01"s}}},
        {"empty, over-long and malformed values",
         [&](DeviceOptions& o) {
             o.productName = longName;
             o.serialNumber.clear();
             o.btName.clear();
             o.macAddress = "not an address";
             o.btAddress = "00-11-22-33-44-55";
         },
         "bogus",
         0,
         {{1, longName.substr(0, 255)},
          {2, "100"},
          {3, ""},
          {4, "\0\0\0\0"s},
          {5, "\0\0"s},
          {6, std::string(6, '\0')},
          {7, ""},
          {8, std::string(6, '\0')}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DeviceOptions options;
        row.change(options);
        EXPECT_EQ(decodeDiscoveryReply(kvx::sim::buildDiscoveryReply(options, row.ip, row.port)),
                  row.expected);
    }
}

TEST(DiscoveryReplyTest, ColonAddressParsing) {
    using Bytes = std::array<std::uint8_t, 6>;
    const std::vector<std::pair<std::string, std::optional<Bytes>>> rows = {
        {"00:1A:2B:3C:4D:5E", Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"ff:ee:dd:cc:bb:aa", Bytes{0xFF, 0xEE, 0xDD, 0xCC, 0xBB, 0xAA}},
        {"00:1A:2B:3C:4D:5", std::nullopt},
        {"00:1A:2B:3C:4D:5E:", std::nullopt},
        {"00-1A-2B-3C-4D-5E", std::nullopt},
        {"00:1A:2B:3C:4D:5G", std::nullopt},
        {"__:__:__:__:__:__", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(kvx::sim::parseColonAddress(text), expected) << text;
}

TEST_F(SimDeviceTest, DiscoveryAnswersDatagramsHoldingTheRequestOnly) {
    startDevice();
    const std::string reply =
        kvx::sim::buildDiscoveryReply(loopbackOptions(), "127.0.0.1", m_device->controlPort());
    const std::vector<std::pair<std::string, bool>> rows = {
        {kRequest, true},
        {"xx" + kRequest + "yy", true},
        {"\xFA\x05\x21\xEF"s, false}, // a reply is not a request
        {"\xFA\x05\x21"s, false},
        {"", false},
        {std::string(1400, '\xEA'), false},
    };
    UdpProbe probe;
    std::size_t answered = 0;
    for (const auto& [datagram, answers] : rows) {
        probe.send(m_device->discoveryPort(), datagram);
        const auto received = probe.receive(answers ? kReplyWait : milliseconds(100));
        EXPECT_EQ(received, answers ? std::optional<std::string>(reply) : std::nullopt) << datagram.size();
        answered += answers ? 1 : 0;
    }
    EXPECT_EQ(m_device->discoveryRequestsAnswered(), answered);
}

TEST_F(SimDeviceTest, DiscoveryAdvertisesTheConfiguredAddressAndPort) {
    DeviceOptions options = loopbackOptions();
    options.advertisedAddress = "10.1.2.3";
    options.advertisedControlPort = 4000;
    startDevice(options);
    UdpProbe probe;
    probe.send(m_device->discoveryPort(), kRequest);
    EXPECT_EQ(probe.receive(kReplyWait), kvx::sim::buildDiscoveryReply(options, "10.1.2.3", 4000));
}

TEST(SimFleetTest, EachDeviceAnswersDiscoveryOnItsOwnAddressWithItsOwnIdentity) {
    DeviceOptions first = loopbackOptions();
    first.bindAddress = "127.77.0.1";
    kvx::sim::Fleet fleet(first, 3);
    ASSERT_TRUE(fleet.start({})) << fleet.lastError();
    struct Row {
        const char* address;
        std::string addressBytes, serial, mac, name;
    };
    const std::vector<Row> rows = {
        {"127.77.0.1", "\x7F\x4D\x00\x01"s, "KVX100-000001", "\x00\x1A\x2B\x3C\x4D\x5E"s, "KVX-Trainer-1"},
        {"127.77.0.2", "\x7F\x4D\x00\x02"s, "KVX100-000002", "\x00\x1A\x2B\x3C\x4D\x5F"s, "KVX-Trainer-2"},
        {"127.77.0.3", "\x7F\x4D\x00\x03"s, "KVX100-000003", "\x00\x1A\x2B\x3C\x4D\x60"s, "KVX-Trainer-3"},
    };
    UdpProbe probe;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        probe.send(fleet.device(k).discoveryPort(), kRequest, rows[k].address);
        auto records = decodeDiscoveryReply(probe.receive(kReplyWait).value_or(""));
        EXPECT_EQ(records[4], rows[k].addressBytes) << k;
        EXPECT_EQ(records[3], rows[k].serial) << k;
        EXPECT_EQ(records[6], rows[k].mac) << k;
        EXPECT_EQ(records[7], rows[k].name) << k;
    }
}

// ---- login and commands -----------------------------------------------------------------------------

TEST_F(SimDeviceTest, LoginNeedsTheConfiguredUserAndPassword) {
    struct Row {
        std::vector<std::string> lines;
        std::string lastReply;
        bool loggedIn;
    };
    const std::vector<Row> rows = {
        {{"User admin", "Pass admin"}, "+OK User Authenticated\r\n", true},
        {{"User admin", "Pass wrong"}, "-ERR Authentication failed\r\n", false},
        {{"User Admin", "Pass admin"}, "-ERR Authentication failed\r\n", false},
        {{"User admin", "Pass"}, "-ERR Authentication failed\r\n", false},
        {{"Pass admin"}, "-ERR Authentication failed\r\n", false},
        {{"User admin", "Pass wrong", "Pass admin"}, "+OK User Authenticated\r\n", true},
        {{"user admin"}, "-ERR Login required\r\n", false},
        {{"User nobody"}, "+OK Password required\r\n", false},
        {{"help"}, "-ERR Login required\r\n", false},
    };
    startDevice();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines.back());
        auto client = connectClient();
        std::string reply;
        for (const auto& line : row.lines)
            reply = client->ask(line);
        EXPECT_EQ(reply, row.lastReply);
        EXPECT_EQ(client->ask("Ver"), row.loggedIn ? "+OK Ver 2.1.0\r\n" : "-ERR Login required\r\n");
    }
}

TEST_F(SimDeviceTest, CommandRepliesAfterLogin) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Ver", "+OK Ver 2.1.0\r\n"}, // the manager reads the version from the ninth character
        {"Ver;", "+OK Ver 2.1.0\r\n"},
        {"list", "+OK\r\n"},
        {"Mode", "+OK Server Mode\r\n"},
        {"ver", "-ERR Unknown command\r\n"},
        {"Frobnicate 1 2", "-ERR Unknown command\r\n"},
        {"", "-ERR Empty command\r\n"},
        {"  ;", "-ERR Empty command\r\n"},
        {"Ver\x01", "-ERR Bad characters in command\r\n"},
        {"\x00\xFF\x7F"s, "-ERR Bad characters in command\r\n"},
        {"Ver\r", "-ERR Bad characters in command\r\n"},
        {std::string(4096, 'x'), "-ERR Unknown command\r\n"},
        {std::string(4097, 'x'), "-ERR Line too long\r\n"},
    };
    startDevice();
    auto client = loggedIn();
    for (const auto& [line, reply] : rows)
        EXPECT_EQ(client->ask(line), reply) << line.substr(0, 20);
    EXPECT_EQ(client->receiveAll().text, "") << "one reply per line";
}

TEST_F(SimDeviceTest, HelpStartsWithTheCapabilityLine) {
    DeviceOptions options = loopbackOptions();
    options.capabilities = "REPEATER PRSV";
    startDevice(options);
    auto client = loggedIn();
    client->send("help\r\n");
    const std::string reply = client->receiveAll().text;
    EXPECT_EQ(reply.substr(0, reply.find('\n') + 1), "+OK REPEATER PRSV\r\n");
    EXPECT_NE(reply.find("\r\nVer\r\n"), std::string::npos);
    EXPECT_TRUE(everyLineEndsInCrLf(reply)) << reply;
}

TEST_F(SimDeviceTest, ListRefusesWhileABluetoothSerialConnectionIsActive) {
    startDevice();
    auto client = loggedIn();
    EXPECT_EQ(client->ask("list"), "+OK\r\n");
    m_device->setBluetoothConnectionActive(true);
    EXPECT_EQ(client->ask("list"), "-ERR Bluetooth serial connection active\r\n");
    m_device->setBluetoothConnectionActive(false);
    EXPECT_EQ(client->ask("list"), "+OK\r\n");
}

TEST_F(SimDeviceTest, ModeQueryNamesEveryMode) {
    const std::vector<std::string> replies = {"+OK Server Mode\r\n",     "+OK Client Mode\r\n",
                                              "+OK Vertex Mode\r\n",     "+OK Repeater Mode\r\n",
                                              "+OK Serial Hub Mode\r\n", "+OK RS232 Mode\r\n"};
    startDevice();
    auto client = loggedIn();
    for (int mode = 0; mode < 6; ++mode) {
        m_device->setMode(mode);
        EXPECT_EQ(client->ask("Mode"), replies[static_cast<std::size_t>(mode)]);
    }
    m_device->setMode(9);
    EXPECT_EQ(client->ask("Mode"), "+OK Unknown Mode\r\n"); // matches no mode on the manager's side
}

TEST_F(SimDeviceTest, ModeChangeAcceptsKeywordsAndRestoredCaptions) {
    struct Row {
        std::string line;
        int before;
        std::string reply;
        int after;
    };
    const std::vector<Row> rows = {
        {"mode vertex", 0, "+OK\r\n", 2},
        {"mode hub;", 0, "+OK\r\n", 4},
        {"mode Serial Hub Mode;", 0, "+OK\r\n", 4},
        {"mode Client Mode;", 0, "+OK\r\n", 1},
        {"mode client;", 0, "+OK\r\n", 1},
        {"mode RS232;", 0, "+OK\r\n", 5},
        {"mode REPEATER", 0, "+OK\r\n", 3},
        {"mode  server ", 2, "+OK\r\n", 0},
        {"mode Server Mode;", 5, "+OK\r\n", 0},
        {"mode", 2, "+OK Vertex Mode\r\n", 2}, // the query of a configuration backup
        {"mode ;", 2, "+OK Vertex Mode\r\n", 2},
        {"mode SerialHub", 2, "-ERR Unknown mode\r\n", 2},
        {"mode serial hub", 2, "-ERR Unknown mode\r\n", 2},
        {"mode vertex extra", 0, "-ERR Unknown mode\r\n", 0},
    };
    startDevice();
    auto client = loggedIn();
    for (const auto& row : rows) {
        m_device->setMode(row.before);
        EXPECT_EQ(client->ask(row.line), row.reply) << row.line;
        EXPECT_EQ(m_device->mode(), row.after) << row.line;
    }
    m_device->setMode(0);
    client->ask("mode vertex");
    EXPECT_EQ(client->ask("Mode"), "+OK Vertex Mode\r\n");
}

TEST_F(SimDeviceTest, LogListsEventsAndStaysSmall) {
    startDevice();
    auto client = loggedIn();
    const auto askLog = [&] {
        client->send("log\r\n");
        return client
            ->receiveUntil(
                [](const std::string& t) { return t.size() >= 5 && t.substr(t.size() - 5) == "+OK\r\n"; },
                kReplyWait)
            .text;
    };
    client->ask("mode vertex");
    std::string log = askLog();
    EXPECT_NE(log.find("admin logged in"), std::string::npos) << log;
    EXPECT_NE(log.find("Vertex Mode"), std::string::npos) << log;
    EXPECT_TRUE(everyLineEndsInCrLf(log)) << log;

    for (int i = 0; i < 200; ++i)
        client->ask(i % 2 ? "mode hub" : "mode server");
    log = askLog();
    EXPECT_LT(log.size(), 8192u);
    EXPECT_NE(log.find("Serial Hub Mode"), std::string::npos) << "the newest events are kept";

    m_device->setLog("first line\nsecond line\r\n");
    EXPECT_EQ(askLog(), "first line\r\nsecond line\r\n+OK\r\n");
}

// Names and ports are stored and listed back as the bytes they came as: long, Latin-1, CP949.
TEST_F(SimDeviceTest, NamesAndDataPortsComeBackByteForByte) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {std::string(60, 'N'), "10001"}, {"caf\xE9", "10002"}, {"\xB0\xA1 \xC7\xD1", "65535"}};
    startDevice();
    auto client = loggedIn();
    for (const auto& [name, port] : rows) {
        EXPECT_EQ(client->ask("BTName " + name), "+OK\r\n");
        EXPECT_EQ(client->ask("BTName"), "+OK " + name + "\r\n");
        EXPECT_EQ(client->ask("Bind " + name + " " + port), "+OK\r\n");
    }
    client->send("Bind\r\n");
    const std::string listed =
        client->receiveUntil([](const std::string& t) { return t.ends_with("+OK\r\n"); }, kReplyWait).text;
    for (const auto& [name, port] : rows)
        EXPECT_NE(listed.find("||" + name + "|" + port + "\r\n"), std::string::npos) << listed;
}

TEST_F(SimDeviceTest, RecordsEveryLineAsReceived) {
    startDevice();
    auto client = loggedIn();
    client->ask("mode hub;");
    client->send("Ver\n"); // a bare LF ends a line too
    EXPECT_EQ(client->receiveLine().text, "+OK Ver 2.1.0\r\n");
    EXPECT_EQ(m_device->receivedCommands(),
              (std::vector<std::string>{"User admin", "Pass admin", "mode hub;", "Ver"}));
}

// ---- bad input --------------------------------------------------------------------------------------

TEST_F(SimDeviceTest, OverlongLinesAreRefusedOnceAndSkipped) {
    const std::vector<std::pair<std::string, std::vector<std::size_t>>> rows = {
        {"split over several sends", {3000, 3000, 3000}},
        {"a megabyte without a line end", {1u << 20}},
    };
    startDevice();
    for (const auto& [label, pieces] : rows) {
        auto client = loggedIn();
        for (const std::size_t size : pieces)
            client->send(std::string(size, 'A'));
        client->send("\r\nVer\r\n");
        const auto received = client->receiveUntil(
            [](const std::string& t) { return t.find("Ver 2.1.0\r\n") != std::string::npos; }, kReplyWait);
        EXPECT_EQ(received.text, "-ERR Line too long\r\n+OK Ver 2.1.0\r\n") << label;
    }
}

TEST_F(SimDeviceTest, ConnectionsAreServedIndependently) {
    startDevice();
    auto first = loggedIn();
    auto second = connectClient();
    EXPECT_EQ(second->ask("Ver"), "-ERR Login required\r\n");
    EXPECT_EQ(first->ask("Ver"), "+OK Ver 2.1.0\r\n");
    first.reset();
    EXPECT_EQ(second->ask("User admin"), "+OK Password required\r\n");
    EXPECT_EQ(m_device->connectionsAccepted(), 2u);
}

// ---- hostile peers ---------------------------------------------------------------------------------

TEST_F(SimDeviceTest, ConnectionsAreClosedWhenIdleOrNotLoggedInInTime) {
    struct Row {
        const char* label;
        bool logIn;
        std::string everyTick;
        bool closed;
    };
    const std::vector<Row> rows = {
        {"silent", true, "", true},
        {"bytes without a line end", true, "V", true},
        {"a line every tick, never logged in", false, "\r\n", true},
        {"a command every tick", true, "Ver\r\n", false},
    };
    DeviceOptions options = loopbackOptions();
    options.idleTimeout = 400ms;
    options.loginTimeout = 400ms;
    startDevice(options);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const auto connecting = Clock::now();
        auto client = row.logIn ? loggedIn() : connectClient();
        bool closed = false;
        for (int tick = 0; tick < 8 && !closed; ++tick) { // twice the time-out
            client->send(row.everyTick);
            closed = client->receiveAll(100ms).closed;
        }
        EXPECT_EQ(closed, row.closed);
        if (closed)
            EXPECT_GE(Clock::now() - connecting, options.idleTimeout);
    }
}

TEST_F(SimDeviceTest, OnePeerAddressCannotTakeEverySlot) {
    DeviceOptions options = loopbackOptions();
    options.maxConnectionsPerAddress = 3;
    startDevice(options);
    std::vector<std::unique_ptr<Client>> held;
    for (int i = 0; i < 3; ++i)
        held.push_back(connectClient());
    Client over(m_device->controlPort());
    const auto refused = over.receiveAll(kReplyWait);
    EXPECT_EQ(refused.text, "-ERR Too many connections\r\n");
    EXPECT_TRUE(refused.closed);

    auto other = connectClient("127.0.0.2");
    EXPECT_EQ(other->ask("User admin"), "+OK Password required\r\n");
    held.pop_back();
    EXPECT_EQ(connectClient()->ask("User admin"), "+OK Password required\r\n")
        << "a closed one frees its slot";
}

// Many short replies and some long ones, from 20 MB of commands sent without reading a reply.
TEST_F(SimDeviceTest, APeerThatWritesWithoutReadingIsThrottledNotBuffered) {
    startDevice();
    auto flooding = loggedIn();
    flooding->send("mode\r\nhelp\r\n");
    const std::string replies = flooding->receiveAll().text;
    std::string lines;
    while (lines.size() < 20u << 20)
        lines += "mode\r\nhelp\r\n";
    flooding->send(lines); // gives up once the socket buffers stay full for a second
    EXPECT_LT(m_device->peakPendingOutput(), 128u << 10);
    EXPECT_EQ(loggedIn()->ask("Ver"), "+OK Ver 2.1.0\r\n") << "others are served meanwhile";

    const std::size_t enough = replies.size() << 12;
    const auto read = flooding->receiveUntil([&](const std::string& t) { return t.size() >= enough; }, 5s);
    ASSERT_GE(read.text.size(), enough);
    for (std::size_t at = 0; at + replies.size() <= read.text.size(); at += replies.size())
        ASSERT_EQ(read.text.compare(at, replies.size(), replies), 0) << "at byte " << at;
}

// What a configuration restore sends must fit: 500 routes; registered devices and servers far beyond
// what a site holds.
TEST_F(SimDeviceTest, ListsAClientGrowsStopAtTheirCap) {
    const auto address = [](int i) {
        char text[18];
        std::snprintf(text, sizeof text, "02:00:00:00:%02X:%02X", (i >> 8) & 0xFF, i & 0xFF);
        return std::string(text);
    };
    struct Row {
        const char* list;
        std::function<std::string(int)> add; // a new entry each
        int cap;
        std::string overCap;
        std::string acceptedWhenFull; // adds nothing new
    };
    const std::string from = address(0);
    const std::vector<Row> rows = {
        {"route", [&](int i) { return "route add " + from + " " + address(i + 1); }, 500,
         "route add " + from + " " + address(1) + " " + address(999), "route add " + from + " " + address(1)},
        {"Bind", [&](int i) { return "Bind " + address(i + 1) + " " + std::to_string(10000 + i); }, 100,
         "Bind " + address(999) + " 20000", ""},
        {"Serv", [&](int i) { return "Serv 10.0.0.1:" + std::to_string(10000 + i) + " " + address(i + 1); },
         100, "Serv 10.0.0.1:20000 " + address(999), ""},
    };
    startDevice();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.list);
        auto client = loggedIn();
        const auto list = [&] {
            client->send(std::string(row.list) + "\r\n");
            const auto done = [](const std::string& t) {
                return t.find("+OK") != std::string::npos && t.ends_with("\r\n");
            };
            return client->receiveUntil(done, kReplyWait).text;
        };
        const auto entries = [](const std::string& text) {
            return static_cast<int>(std::count(text.begin(), text.end(), '\n')) - 1;
        };
        for (int i = 0, start = entries(list()); start + i < row.cap; ++i)
            ASSERT_EQ(client->ask(row.add(i)), "+OK\r\n") << i;
        const std::string full = list();
        EXPECT_EQ(entries(full), row.cap);
        EXPECT_EQ(client->ask(row.overCap), "-ERR Table full\r\n");
        if (!row.acceptedWhenFull.empty())
            EXPECT_EQ(client->ask(row.acceptedWhenFull), "+OK\r\n");
        EXPECT_TRUE(list() == full) << "a refused set changes nothing";
    }
}

TEST_F(SimDeviceTest, FloodStreamsWithoutALineEndUntilThePeerCloses) {
    DeviceOptions options = loopbackOptions();
    options.maxConnectionsPerAddress = 1; // the flooded connection's slot shows when it is gone
    startDevice(options);
    FaultOptions faults;
    faults.floodCommands = {"User"}; // the login must be testable against a flood
    m_device->setFaults(faults);
    auto flooded = connectClient();
    flooded->send("User admin\r\n");
    constexpr std::size_t kEnough = 4u << 20;
    const auto received =
        flooded->receiveUntil([&](const std::string& t) { return t.size() >= kEnough; }, 5s);
    EXPECT_GE(received.text.size(), kEnough);
    EXPECT_EQ(received.text.substr(0, 4), "+OK ");
    EXPECT_EQ(received.text.find_first_of("\r\n"), std::string::npos);

    auto other = connectClient("127.0.0.2");
    EXPECT_EQ(other->ask("Ver"), "-ERR Login required\r\n") << "others are served meanwhile";

    flooded.reset();
    const auto closed = Clock::now();
    std::string greeting;
    while (greeting != "Lumeno-KVX100 ready\r\n" && Clock::now() - closed < 2s)
        greeting = Client(m_device->controlPort()).receiveLine().text;
    EXPECT_EQ(greeting, "Lumeno-KVX100 ready\r\n") << "the flood ends with its connection";
}

// ---- fault knobs ------------------------------------------------------------------------------------

TEST_F(SimDeviceTest, FaultKnobsShapeTheReply) {
    struct Row {
        const char* label;
        FaultOptions faults;
        std::string line;
        std::string reply;
        milliseconds atLeast;
        int receivesAtLeast;
    };
    const auto with = [](auto change) {
        FaultOptions f;
        change(f);
        return f;
    };
    const std::vector<Row> rows = {
        {"no faults", {}, "Ver", "+OK Ver 2.1.0\r\n", 0ms, 1},
        {"reply delay", with([](FaultOptions& f) { f.replyDelay = 200ms; }), "Ver", "+OK Ver 2.1.0\r\n",
         190ms, 1},
        {"refused", with([](FaultOptions& f) { f.refusedCommands = {"Ver"}; }), "Ver", "-ERR\r\n", 0ms, 1},
        {"refusal of another word", with([](FaultOptions& f) { f.refusedCommands = {"Mode"}; }), "Ver",
         "+OK Ver 2.1.0\r\n", 0ms, 1},
        {"late", with([](FaultOptions& f) {
             f.lateCommands = {{"Ver", 250ms}};
         }),
         "Ver", "+OK Ver 2.1.0\r\n", 240ms, 1},
        {"cut into packets", with([](FaultOptions& f) {
             f.packetSize = 4;
             f.packetGap = 30ms;
         }),
         "Ver", "+OK Ver 2.1.0\r\n", 85ms, 3},
    };
    startDevice();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        auto client = loggedIn();
        m_device->setFaults(row.faults);
        const auto sent = Clock::now();
        client->send(row.line + "\r\n");
        const auto received = client->receiveUntil(
            [&](const std::string& t) { return t.size() >= row.reply.size(); }, kReplyWait);
        EXPECT_EQ(received.text, row.reply);
        EXPECT_GE(Clock::now() - sent, row.atLeast);
        EXPECT_GE(received.receives, row.receivesAtLeast);
        m_device->setFaults({});
    }
}

TEST_F(SimDeviceTest, StrayLineFollowsTheNamedRepliesOnceAfterItsDelay) {
    startDevice();
    auto client = loggedIn();
    FaultOptions faults;
    faults.strayAfterCommands = {"Ver"};
    m_device->setFaults(faults);
    const auto sent = Clock::now();
    EXPECT_EQ(client->ask("Ver"), "+OK Ver 2.1.0\r\n");
    EXPECT_EQ(client->ask("Mode"), "+OK Server Mode\r\n") << "later replies are not held back";
    EXPECT_EQ(client->receiveLine().text, "+OK 9600 5N1 xonoff\r\n");
    EXPECT_GE(Clock::now() - sent, faults.strayDelay);
    EXPECT_EQ(client->receiveAll().text, "");
}

TEST_F(SimDeviceTest, RefusedCommandsChangeNothing) {
    startDevice();
    auto client = loggedIn();
    FaultOptions faults;
    faults.refusedCommands = {"mode"};
    m_device->setFaults(faults);
    EXPECT_EQ(client->ask("mode vertex"), "-ERR\r\n");
    EXPECT_EQ(m_device->mode(), 0);
}

TEST_F(SimDeviceTest, SilentCommandsGetNoReplyWhileOthersAreServed) {
    startDevice();
    FaultOptions faults;
    faults.silentCommands = {"User", "Ver"};
    m_device->setFaults(faults);
    auto client = connectClient();
    client->send("User admin\r\n");
    EXPECT_EQ(client->receiveAll().text, "") << "a silent login can be tested";
    EXPECT_EQ(client->ask("Pass admin"), "-ERR Authentication failed\r\n");

    faults.silentCommands = {"Ver"};
    m_device->setFaults(faults);
    EXPECT_EQ(client->ask("User admin"), "+OK Password required\r\n");
    EXPECT_EQ(client->ask("Pass admin"), "+OK User Authenticated\r\n");
    client->send("Ver\r\n");
    EXPECT_EQ(client->receiveAll().text, "");
    EXPECT_EQ(client->ask("Mode"), "+OK Server Mode\r\n");
}

TEST_F(SimDeviceTest, LateRepliesKeepTheirOrder) {
    startDevice();
    auto client = loggedIn();
    FaultOptions faults;
    faults.lateCommands = {{"Ver", 200ms}};
    m_device->setFaults(faults);
    client->send("Ver\r\nMode\r\n");
    const auto received = client->receiveUntil(
        [](const std::string& t) { return t.find("Mode\r\n") != std::string::npos; }, kReplyWait);
    EXPECT_EQ(received.text, "+OK Ver 2.1.0\r\n+OK Server Mode\r\n");
}

TEST_F(SimDeviceTest, CloseAfterCommandsEndsTheConnection) {
    struct Row {
        int closeAfter;
        bool instead;
        std::string expected; // everything received after the greeting
    };
    const std::vector<Row> rows = {
        {3, false, "+OK Password required\r\n+OK User Authenticated\r\n+OK Ver 2.1.0\r\n"},
        {3, true, "+OK Password required\r\n+OK User Authenticated\r\n"},
        {1, false, "+OK Password required\r\n"},
    };
    startDevice();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.closeAfter) + (row.instead ? " instead" : ""));
        FaultOptions faults;
        faults.closeAfterCommands = row.closeAfter;
        faults.closeInsteadOfReply = row.instead;
        m_device->setFaults(faults);
        auto client = connectClient();
        client->send("User admin\r\nPass admin\r\nVer\r\nMode\r\n");
        const auto received = client->receiveAll(kReplyWait);
        EXPECT_EQ(received.text, row.expected);
        EXPECT_TRUE(received.closed);
    }
    m_device->setFaults({});
    loggedIn(); // still serving
}

// ---- reboot and life cycle --------------------------------------------------------------------------

TEST_F(SimDeviceTest, RebootRefusesConnectionsForTheDowntimeThenServesAfresh) {
    startDevice();
    const std::uint16_t port = m_device->controlPort();
    auto client = loggedIn();
    auto bystander = connectClient();
    client->ask("mode vertex");

    client->send("Reboot\r\n");
    const auto rebooted = Clock::now();
    const auto reply = client->receiveAll(kReplyWait);
    EXPECT_EQ(reply.text, "+OK\r\n");
    EXPECT_TRUE(reply.closed);
    EXPECT_TRUE(bystander->receiveAll(kReplyWait).closed);

    EXPECT_EQ(connectError(port), ECONNREFUSED);
    UdpProbe probe;
    probe.send(m_device->discoveryPort(), kRequest);
    EXPECT_EQ(probe.receive(100ms), std::nullopt) << "a rebooting device does not answer discovery";

    while (connectError(port) != 0 && Clock::now() - rebooted < 2s)
        std::this_thread::sleep_for(20ms);
    EXPECT_GE(Clock::now() - rebooted, 250ms);
    EXPECT_EQ(m_device->controlPort(), port);
    auto fresh = connectClient();
    EXPECT_EQ(fresh->ask("Mode"), "-ERR Login required\r\n");
    EXPECT_EQ(fresh->ask("User admin"), "+OK Password required\r\n");
    EXPECT_EQ(fresh->ask("Pass admin"), "+OK User Authenticated\r\n");
    EXPECT_EQ(fresh->ask("Mode"), "+OK Vertex Mode\r\n");
}

TEST_F(SimDeviceTest, StartFailsOnAPortInUseAndStopReleasesIt) {
    startDevice();
    DeviceOptions clash = loopbackOptions();
    clash.controlPort = m_device->controlPort();
    SimulatedDevice second(clash);
    EXPECT_FALSE(second.start());
    EXPECT_NE(second.lastError(), "");
    EXPECT_FALSE(m_device->start()) << "already running";

    const std::uint16_t port = m_device->controlPort();
    m_device->stop();
    EXPECT_EQ(connectError(port), ECONNREFUSED);
    EXPECT_TRUE(second.start()) << second.lastError();
    EXPECT_EQ(second.controlPort(), port);
}

} // namespace
