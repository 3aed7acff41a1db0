#include "core/connection.h"
#include "core/device_link.h"
#include "core/login_exchange.h"
#include "core/transcript.h"
#include "logged_in_link.h"
#include "recording_prompter.h"
#include "sim_fixture.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace kvx;
using namespace kvx::test;
using namespace std::chrono_literals;

TEST(Transact, AWholeReplyTakesOnePassAndIsEchoedAfterTheCommand) {
    LoggedInLink s;
    EXPECT_EQ(s.link.transact("Mode\r\n", 1, s.transcript), "+OK Server Mode\r\n");
    EXPECT_EQ(s.transcript.echoed, "Mode\r\n+OK Server Mode\r\n");
}

// The call ends at the first line end behind the token, however the reply was cut; a long reply
// whose first line already holds the token still arrives in part.
TEST(Transact, ATokenSplitOverReceivesIsFoundAndItsLineCompleted) {
    LoggedInLink s;
    s.faults([](sim::FaultOptions& f) {
        f.packetSize = 2;
        f.packetGap = 30ms;
    });
    EXPECT_EQ(s.link.transact("Mode\r\n", 10, s.transcript), "+OK Server Mode\r\n");
    EXPECT_EQ(s.link.transact("Mode\r\n", 0, s.transcript), "+OK Server Mode\r\n") << "wait 0 as well";

    s.device->setLog("+OK first\r\nsecond\r\n");
    s.faults([](sim::FaultOptions& f) {
        f.packetSize = 1;
        f.packetGap = 20ms;
    });
    EXPECT_EQ(s.link.transact("log\r\n", 10, s.transcript), "+OK first\r\n");
    // The rest arrives later and is drained into the transcript by the next call.
    std::this_thread::sleep_for(800ms);
    s.device->setFaults({});
    EXPECT_EQ(s.link.transact("Ver\r\n", 1, s.transcript), "+OK Ver 2.1.0\r\n");
    EXPECT_TRUE(
        s.transcript.echoed.ends_with("log\r\n+OK first\r\nsecond\r\n+OK\r\nVer\r\n+OK Ver 2.1.0\r\n"))
        << s.transcript.echoed;
}

// A device that trickles bytes without ever ending the line cannot hold the call past its bound.
TEST(Transact, CompletingALineStaysWithinTheBound) {
    DeviceLink::Timing timing;
    timing.waitUnit = 100ms;
    LoggedInLink s({}, timing);
    s.device->setLog("+OK" + std::string(800, 'y'));
    s.faults([](sim::FaultOptions& f) {
        f.packetSize = 1;
        f.packetGap = 5ms;
    });
    std::chrono::milliseconds took{};
    const std::string reply = s.timed([&] { return s.link.transact("log\r\n", 1, s.transcript); }, took);
    EXPECT_LT(took, 3000ms) << "ten waits of 100 ms and the receives, not the four seconds of the line";
    EXPECT_TRUE(reply.starts_with("+OKyyy")) << reply;
    EXPECT_FALSE(reply.ends_with('\n'));
}

// Nor can one that sends a byte a little more often than the wait: the call ends one wait and the
// grace after the command, not ten waits later.
TEST(Transact, ATricklingDeviceHoldsACommandOneWaitAndTheGraceAtMost) {
    DeviceLink::Timing timing;
    timing.waitUnit = 300ms;
    timing.replyGrace = 300ms;
    LoggedInLink s({}, timing);
    s.device->setLog(std::string(100, 'y'));
    s.faults([](sim::FaultOptions& f) {
        f.trickledCommands = {"log"};
        f.packetGap = 250ms;
    });
    std::chrono::milliseconds took{};
    const std::string reply = s.timed([&] { return s.link.transact("log\r\n", 1, s.transcript); }, took);
    EXPECT_LT(took, 1500ms) << "ten passes would take 2.5 s";
    EXPECT_TRUE(reply.starts_with("yy")) << reply;
}

TEST(Transact, SilenceReturnsEmptyAfterTheWaitAndEchoesOnlyTheCommand) {
    LoggedInLink s;
    s.faults([](sim::FaultOptions& f) { f.silentCommands = {"Mode"}; });
    std::chrono::milliseconds took{};
    const std::string reply = s.timed([&] { return s.link.transact("Mode\r\n", 1, s.transcript); }, took);
    EXPECT_EQ(reply, "");
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 5000ms);
    EXPECT_EQ(s.transcript.echoed, "Mode\r\n");
}

TEST(Transact, TextWithoutATokenIsReturnedAfterSilenceButNotEchoed) {
    LoggedInLink s;
    s.device->setLog("boot line one\r\nboot line two\r\n");
    s.faults([](sim::FaultOptions& f) {
        f.packetSize = 10;
        f.packetGap = 3000ms;
    });
    const std::string reply = s.link.transact("log\r\n", 1, s.transcript);
    EXPECT_EQ(reply, "boot line ");
    EXPECT_EQ(s.transcript.echoed, "log\r\n");
}

TEST(Transact, ErrEndsTheCollectionAsOkDoes) {
    LoggedInLink s;
    s.faults([](sim::FaultOptions& f) { f.refusedCommands = {"Mode"}; });
    EXPECT_EQ(s.link.transact("Mode\r\n", 1, s.transcript), "-ERR\r\n");
    EXPECT_EQ(s.transcript.echoed, "Mode\r\n-ERR\r\n");
}

TEST(Transact, ALateReplyIsDrainedIntoTheNextCallsTranscriptNotItsReply) {
    LoggedInLink s;
    s.faults([](sim::FaultOptions& f) { f.lateCommands = {{"Mode", 1500ms}}; });
    EXPECT_EQ(s.link.transact("Mode\r\n", 1, s.transcript), "");
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(s.link.transact("Ver\r\n", 1, s.transcript), "+OK Ver 2.1.0\r\n");
    EXPECT_EQ(s.transcript.echoed, "Mode\r\n+OK Server Mode\r\nVer\r\n+OK Ver 2.1.0\r\n");
}

TEST(Transact, AtMostTenPasses) {
    LoggedInLink s;
    std::string log;
    for (int i = 0; i < 40; ++i)
        log += "event " + std::to_string(100 + i) + "\r\n";
    s.device->setLog(log);
    s.faults([](sim::FaultOptions& f) {
        f.packetSize = 5;
        f.packetGap = 40ms;
    });
    const std::string reply = s.link.transact("log\r\n", 2, s.transcript);
    EXPECT_FALSE(containsToken(reply));
    EXPECT_EQ(reply.size() % 5, 0u) << "whole packets only";
    EXPECT_GE(reply.size(), 50u);
    EXPECT_LT(reply.size(), log.size() / 2)
        << "the call must stop after ten receives, long before the list ends";
    EXPECT_EQ(s.transcript.echoed, "log\r\n" + reply) << "a reply cut by the pass limit is still echoed";
}

TEST(Transact, WaitZeroTakesTheFirstReceiveAndIsBoundedWhenSilent) {
    DeviceLink::Timing timing;
    timing.unlimitedWaitBound = 400ms;
    LoggedInLink s({}, timing);
    EXPECT_EQ(s.link.transact("Mode\r\n", 0, s.transcript), "+OK Server Mode\r\n");

    s.faults([](sim::FaultOptions& f) { f.silentCommands = {"Mode"}; });
    std::chrono::milliseconds took{};
    EXPECT_EQ(s.timed([&] { return s.link.transact("Mode\r\n", 0, s.transcript); }, took), "");
    EXPECT_GE(took, 350ms);
    EXPECT_LT(took, 3000ms);
}

TEST(Transact, TheDefaultBoundOfWaitZeroIsThirtySeconds) {
    EXPECT_EQ(DeviceLink().timing().unlimitedWaitBound, 30000ms);
}

TEST(Transact, NoSocketOrAClosedPeerGivesAnEmptyReply) {
    DeviceLink link;
    RecordingTranscript transcript;
    EXPECT_EQ(link.transact("Mode\r\n", 1, transcript), "");
    EXPECT_EQ(transcript.echoed, "");

    LoggedInLink s;
    s.faults([](sim::FaultOptions& f) {
        f.closeAfterCommands = 1;
        f.closeInsteadOfReply = true;
    });
    std::chrono::milliseconds took{};
    EXPECT_EQ(s.timed([&] { return s.link.transact("Mode\r\n", 2, s.transcript); }, took), "");
    EXPECT_LT(took, 2000ms) << "a closed connection ends the passes at once";
    EXPECT_TRUE(s.link.peerHasClosed());
}

TEST(Transact, ACommandCarryingALineBreakIsNotSent) {
    LoggedInLink s;
    const std::size_t before = s.device->receivedCommands().size();
    EXPECT_EQ(s.link.transact("Port 9\r\nReboot\r\n", 1, s.transcript), "");
    EXPECT_EQ(s.link.transact("Mode\r\n", 1, s.transcript), "+OK Server Mode\r\n");
    EXPECT_EQ(s.device->receivedCommands().size(), before + 1) << "only Mode reached the device";
}

// Greeting, User and Pass share one bound: each answered late but within its own bound, the login
// as a whole still runs out of time.
TEST(Transact, TheLoginExchangeHasOneBoundInAll) {
    const auto device = startDevice();
    sim::FaultOptions faults;
    faults.lateCommands = {{"User", 600ms}, {"Pass", 600ms}};
    device->setFaults(faults);
    DeviceLink::Timing timing;
    timing.unlimitedWaitBound = 1000ms;
    DeviceLink link(timing);
    RecordingTranscript transcript;
    RecordingPrompter prompter;
    ASSERT_TRUE(link.create() && link.connectTo("127.0.0.1", device->controlPort()));
    std::chrono::milliseconds took{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(runLoginExchange(link, transcript, prompter, [] {}, {"admin", "admin"}));
    took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("Get Password is timeout. Check Lumeno-KVX and Try again.")});
    EXPECT_LT(took, 1500ms);
}

TEST(Transact, PeerCloseIsSeenWithoutReadingPendingData) {
    LoggedInLink s;
    EXPECT_FALSE(s.link.peerHasClosed());
    s.faults([](sim::FaultOptions& f) { f.lateCommands = {{"Mode", 100ms}}; });
    EXPECT_EQ(s.link.transact("Mode\r\n", 1, s.transcript).substr(0, 3), "+OK");
    EXPECT_FALSE(s.link.peerHasClosed()) << "data alone is no close";
    s.device->stop();
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(s.link.peerHasClosed());
    s.link.close();
    EXPECT_FALSE(s.link.peerHasClosed()) << "a socket closed by this side raises nothing";
}

TEST(Transact, ConnectFailsFastOnRefusalAndBadAddresses) {
    DeviceLink link;
    ASSERT_TRUE(link.create());
    std::uint16_t closedPort;
    {
        auto gone = startDevice();
        closedPort = gone->controlPort();
    }
    EXPECT_FALSE(link.connectTo("127.0.0.1", closedPort));
    ASSERT_TRUE(link.create());
    EXPECT_FALSE(link.connectTo("127.0.0.300", 1));
    EXPECT_FALSE(link.connectTo("127.0.0.1", 70000));
}

// Page timers skip their ticks on it; the traffic of a transaction is echoed only while it holds.
TEST(Connection, InTransactionHoldsWhileATransactionRunsAndOnlyThen) {
    struct Sampling : Transcript {
        void append(std::string_view) override { held.push_back(connection->inTransaction()); }
        void clear() override { held.clear(); }
        const Connection* connection = nullptr;
        std::vector<bool> held;
    } transcript;
    const auto device = startDevice();
    Connection connection({}, transcript);
    transcript.connection = &connection;
    logIn(connection.link(), transcript, *device);

    EXPECT_EQ(connection.transact("Mode\r\n", 1), "+OK Server Mode\r\n");
    EXPECT_FALSE(transcript.held.empty());
    EXPECT_EQ(std::count(transcript.held.begin(), transcript.held.end(), false), 0);
    EXPECT_FALSE(connection.inTransaction());
}
