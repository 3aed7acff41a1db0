#include "fault_matrix.h"

#include "core/qt_text.h"

#include <gtest/gtest.h>
#include <set>

namespace kvx::test {
namespace {

using namespace std::chrono_literals;

std::string bodyOf(std::string line) {
    while (!line.empty() && (line.back() == ';' || line.back() == ' '))
        line.pop_back();
    return line.substr(std::min(line.find_first_not_of(' '), line.size()));
}

std::chrono::milliseconds waitOf(const CommandRow& row) {
    return row.wait == 0 ? kUnlimitedWaitBound : kWaitUnit * row.wait;
}

QStringList expectedMessages(const std::string& message) {
    return message.empty() ? QStringList() : QStringList{fromStd(message)};
}

std::string successWords(QueryStep::Success success) {
    switch (success) {
    case QueryStep::Success::StartsWithOk:
        return "reply begins with \"+OK\"";
    case QueryStep::Success::ContainsOk:
        return "reply contains \"+OK\"";
    case QueryStep::Success::ExactlyOk:
        return "normalised reply is exactly \"+OK\"";
    case QueryStep::Success::AnyReply:
        return "any reply";
    case QueryStep::Success::NormalisedStartsWithOk:
        return "normalised reply begins with \"+OK\"";
    case QueryStep::Success::NoErrAtStart:
        return "no \"-ERR\" at the start";
    case QueryStep::Success::Parsed:
        return "the window reads its values from the reply";
    }
    return "?";
}

std::string textOf(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

} // namespace

CommandRow::CommandRow(std::string sender, std::string command, int wait, std::string success,
                       std::string emptyMessage, std::string refusedMessage, bool reconnect,
                       bool endsOperation, std::string shownAfterFailure, bool arrivesInPart,
                       bool refusalReconnects)
    : sender(std::move(sender))
    , command(std::move(command))
    , wait(wait)
    , success(std::move(success))
    , emptyMessage(std::move(emptyMessage))
    , refusedMessage(std::move(refusedMessage))
    , reconnect(reconnect)
    , endsOperation(endsOperation)
    , shownAfterFailure(std::move(shownAfterFailure))
    , arrivesInPart(arrivesInPart)
    , refusalReconnects(refusalReconnects) {}

CommandRow::CommandRow(std::string sender, const QueryStep& step, bool endsOperation,
                       std::string shownAfterFailure, bool arrivesInPart)
    : CommandRow(std::move(sender), step, bodyOf(std::string(normalisedReply(step.command))), endsOperation,
                 std::move(shownAfterFailure), arrivesInPart) {}

CommandRow::CommandRow(std::string sender, const QueryStep& step, std::string command, bool endsOperation,
                       std::string shownAfterFailure, bool arrivesInPart)
    : CommandRow(std::move(sender), std::move(command), step.wait, successWords(step.success),
                 textOf(step.emptyMessage), textOf(step.refusedMessage), step.reconnectAfterSilence,
                 endsOperation, std::move(shownAfterFailure), arrivesInPart, step.reconnectAfterRefusal) {}

const char* faultName(Fault fault) {
    switch (fault) {
    case Fault::None:
        return "no fault";
    case Fault::Silence:
        return "silence";
    case Fault::Refusal:
        return "-ERR";
    case Fault::OneBytePackets:
        return "1-byte packets";
    case Fault::Late:
        return "reply after the wait";
    case Fault::ClosedMidReply:
        return "closed in the middle of the reply";
    case Fault::Flood:
        return "\"+OK \" and a stream without a line end";
    case Fault::Stray:
        return "a line nobody asked for after the reply";
    }
    return "?";
}

std::vector<CommandRow> commandTable() {
    std::vector<CommandRow> rows;
    for (auto group : {pageRows, bluetoothRows, modeRows, configRows}) {
        const std::vector<CommandRow> more = group();
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

RunResult runRow(const CommandRow& row, const Driver& driver, Fault fault) {
    sim::DeviceOptions options;
    if (driver.device)
        driver.device(options);
    DeviceLink::Timing timing;
    timing.waitUnit = kWaitUnit;
    timing.unlimitedWaitBound = kUnlimitedWaitBound;
    LinkSession session(std::move(options), timing);
    RecordingPrompter prompter;
    const std::size_t before = session.device().receivedCommands().size();

    sim::FaultOptions faults;
    faults.wholeLines = true;
    const std::string key = bodyOf(row.command);
    switch (fault) {
    case Fault::None:
        break;
    case Fault::Silence:
        faults.silentCommands = {key};
        break;
    case Fault::Refusal:
        faults.refusedCommands = {key};
        break;
    case Fault::OneBytePackets:
        faults.trickledCommands = {key};
        faults.packetGap = 2ms;
        break;
    case Fault::Late:
        faults.lateCommands = {{key, waitOf(row) + 300ms}};
        break;
    case Fault::ClosedMidReply:
        faults.cutOffCommands = {key};
        break;
    case Fault::Flood:
        faults.floodCommands = {key};
        break;
    case Fault::Stray:
        faults.strayAfterCommands = {key};
        // Well inside the look a load takes after its last reply, so that the line comes while the load
        // still reads, whichever of its commands the row is.
        faults.strayDelay = 40ms;
        break;
    }
    session.device().setFaults(faults);

    RunResult result;
    MatrixContext context{session, prompter};
    const auto start = std::chrono::steady_clock::now();
    result.shown = driver.act(context);
    result.took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    result.messages = prompter.messages;
    result.reconnects = session.reconnects;
    const std::vector<std::string> received = session.device().receivedCommands();
    for (std::size_t i = before; i < received.size(); ++i) {
        if (result.commandSent)
            result.sentAfter.push_back(received[i]);
        else if (bodyOf(received[i]) == key)
            result.commandSent = true;
    }
    return result;
}

bool belongsToLoad(const std::string& sender) {
    static const std::set<std::string> loads = {
        "Operation Mode page: load", "Information page: load",         "Bluetooth page: load",
        "Bluetooth page: Refresh",   "Neighborhoods page: load",       "Repeater Mode window: open",
        "Server Mode window: open",  "Client Mode window: open",       "Client Setting window: open",
        "Vertex Mode window: open",  "Serial Port Setup window: open", "Serial Hub Mode window: open",
    };
    return loads.count(sender) > 0;
}

void checkRows(const std::vector<CommandRow>& rows, const DriverMap& drivers) {
    int checked = 0;
    for (const CommandRow& row : rows) {
        const auto driver = drivers.find(row.sender);
        if (driver == drivers.end())
            continue;
        ++checked;
        SCOPED_TRACE(row.sender + ": " + row.command);
        const RunResult whole = runRow(row, driver->second, Fault::None);
        ASSERT_TRUE(whole.commandSent) << "the driver never sends the command";
        for (Fault fault : {Fault::Silence, Fault::Refusal, Fault::OneBytePackets, Fault::Late,
                            Fault::ClosedMidReply, Fault::Flood}) {
            SCOPED_TRACE(faultName(fault));
            const RunResult r = runRow(row, driver->second, fault);
            EXPECT_TRUE(r.commandSent);
            // One slow command at most, and every other command answered at once.
            EXPECT_LE(r.took, waitOf(row) * DeviceLink::kMaxPasses + 5s);
            switch (fault) {
            case Fault::Silence:
            case Fault::Late:
            case Fault::Flood:
            case Fault::Refusal: {
                const bool empty = fault != Fault::Refusal;
                const QStringList expected = expectedMessages(empty ? row.emptyMessage : row.refusedMessage);
                const int reconnects = (empty ? row.reconnect : row.refusalReconnects) ? 1 : 0;
                // The device answers in order: a late reply (or a flood that never ends) holds back the
                // replies to what a window that goes on sends next, so those may fail as well; the row
                // answers for its own failure.
                const bool holdsBackTheRest = fault == Fault::Late || fault == Fault::Flood;
                if (holdsBackTheRest && !row.endsOperation) {
                    EXPECT_EQ(r.messages.mid(0, expected.size()), expected);
                    EXPECT_GE(r.reconnects, reconnects);
                } else {
                    EXPECT_EQ(r.messages, expected);
                    EXPECT_EQ(r.reconnects, reconnects);
                }
                // A reply that is not judged a failure lets the operation go on.
                if (row.endsOperation && (empty || !expected.isEmpty()))
                    EXPECT_EQ(r.sentAfter, std::vector<std::string>{}) << "sent after the failure";
                if (!row.shownAfterFailure.empty() && (empty || !expected.isEmpty()) &&
                    !(holdsBackTheRest && !row.endsOperation))
                    EXPECT_EQ(r.shown, row.shownAfterFailure);
                break;
            }
            case Fault::OneBytePackets:
                if (row.arrivesInPart)
                    break;
                EXPECT_EQ(r.messages, whole.messages);
                EXPECT_EQ(r.reconnects, whole.reconnects);
                EXPECT_EQ(r.sentAfter, whole.sentAfter);
                EXPECT_EQ(r.shown, whole.shown);
                break;
            case Fault::ClosedMidReply:
            case Fault::None:
            case Fault::Stray:
                break; // bounded, and nothing crashed
            }
        }
        if (!belongsToLoad(row.sender))
            continue;
        // The load fails with one message, naming the command where the line showed, and sends nothing
        // after that command.
        SCOPED_TRACE(faultName(Fault::Stray));
        const RunResult r = runRow(row, driver->second, Fault::Stray);
        const std::string last = r.sentAfter.empty() ? row.command : bodyOf(r.sentAfter.back());
        EXPECT_EQ(r.messages, QStringList{unaskedReplyText(last)});
        EXPECT_EQ(r.reconnects, 0);
    }
    EXPECT_GT(checked, 0);
}

} // namespace kvx::test
