#pragma once

#include "core/qt_text.h"
#include "core/query.h"
#include "link_session.h"
#include "recording_prompter.h"

#include <chrono>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// Failed comparisons of messages print the texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << kvx::toStd(text) << '"';
}

// Every command the manager sends, each under every fault a device or a network can produce.
namespace kvx::test {

// One command as the command tables of the description give it.
struct CommandRow {
    std::string sender;         // the window or procedure and the operator's action; names the driver
    std::string command;        // the line as the driver's action sends it, without ";" and CR LF; the
                                // fault applies to exactly this line
    int wait;                   // seconds; 0 waits for the first receive, bounded
    std::string success;        // the success test, in words
    std::string emptyMessage;   // shown for an empty reply ("" for none)
    std::string refusedMessage; // shown for a refused reply ("" for none)
    bool reconnect;             // an empty reply posts the reconnect request
    bool endsOperation;         // after a failure of this command nothing further is sent
    // What the window shows after a failure of this command (see the driver's `shown`); "" is not checked.
    std::string shownAfterFailure = {};
    // A list whose "+OK" stands at its end: cut into 1-byte packets, the transaction's ten receives
    // end before the token and the window gets the list's first bytes only.
    bool arrivesInPart = false;
    // A refusal is reported as silence is, with the reconnect request.
    bool refusalReconnects = false;

    CommandRow(std::string sender, std::string command, int wait, std::string success,
               std::string emptyMessage, std::string refusedMessage, bool reconnect, bool endsOperation,
               std::string shownAfterFailure = {}, bool arrivesInPart = false,
               bool refusalReconnects = false);
    // The command, wait, success test, messages and requests as the window's table entry states them;
    // `command` is the line the window builds when the entry has none.
    CommandRow(std::string sender, const QueryStep& step, bool endsOperation,
               std::string shownAfterFailure = {}, bool arrivesInPart = false);
    CommandRow(std::string sender, const QueryStep& step, std::string command, bool endsOperation,
               std::string shownAfterFailure = {}, bool arrivesInPart = false);
};

// Stray: a line nobody asked for comes soon after the reply; checked for the commands of a load only.
enum class Fault { None, Silence, Refusal, OneBytePackets, Late, ClosedMidReply, Flood, Stray };
const char* faultName(Fault fault);

struct MatrixContext {
    LinkSession& session;
    RecordingPrompter& prompter;
};

// Plays the operator: builds the sending window on the session, performs the action that sends the
// row's command (and whatever the window sends before it), and describes what the window shows after.
struct Driver {
    std::function<void(sim::DeviceOptions&)> device = {}; // a device set up for the action
    std::function<std::string(MatrixContext&)> act;
};
using DriverMap = std::map<std::string, Driver>;

// The table, assembled from the rows of each group of windows.
std::vector<CommandRow> pageRows();      // start-up, Operation Mode and Information pages
std::vector<CommandRow> bluetoothRows(); // Bluetooth, Connections, Neighborhoods, picker, Repeater
std::vector<CommandRow> modeRows();      // Server, Client, Vertex and RS232 windows, routing
std::vector<CommandRow> configRows();    // backup, restore and the device log
std::vector<CommandRow> commandTable();

// The drivers of each group, by sender.
void addPageDrivers(DriverMap& drivers);
void addBluetoothDrivers(DriverMap& drivers);
void addModeDrivers(DriverMap& drivers);
void addConfigDrivers(DriverMap& drivers);

// One second of a command's wait, and the bound of wait 0, in these runs.
inline constexpr std::chrono::milliseconds kWaitUnit{100};
inline constexpr std::chrono::milliseconds kUnlimitedWaitBound{1000};

struct RunResult {
    QStringList messages;
    int reconnects = 0;
    bool commandSent = false;
    std::vector<std::string> sentAfter; // what reached the device after the row's command
    std::string shown;
    std::chrono::milliseconds took{};
};

RunResult runRow(const CommandRow& row, const Driver& driver, Fault fault);

// The senders whose commands read values shown together (a WindowLoad): a line nobody asked for after
// any of them fails the whole load.
bool belongsToLoad(const std::string& sender);

// Checks every row of `rows` whose sender `drivers` knows under every fault; the rows of other groups
// are left to their own executables.
void checkRows(const std::vector<CommandRow>& rows, const DriverMap& drivers);

} // namespace kvx::test
