#include "server_client_queries.h"

#include "core/device_session.h"
#include "core/vocabulary.h"

#include <QtGlobal>

namespace kvx {
namespace {

using S = QueryStep::Success;
constexpr const char* kServerMode = "kvx::ServerModeWindow";
constexpr const char* kClientMode = "kvx::ClientModeWindow";
constexpr const char* kHostEntry = "kvx::HostEntry";

constexpr const char* kDataPortTimeout =
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Get Port Number is timeout. Check Lumeno-KVX and Try again.");
constexpr const char* kDataPortFailed =
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Get Port Number is Failed. Try again.");
constexpr const char* kSetPortTimeout =
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Set Port Number is timeout. Check Lumeno-KVX and Try again.");
constexpr const char* kKeepAliveFailed =
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Retrieving TCP KeepAlive setting failed.");
constexpr const char* kIntervalFailed =
    QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Get Connection interval time is Failed. Try again.");
constexpr const char* kServerListTimeout = QT_TRANSLATE_NOOP(
    "kvx::HostEntry", "Get Server host address is timeout. Check Lumeno-KVX and Try again.");
constexpr const char* kModifyDevice = "kvx::ModifyDeviceWindow";
constexpr const char* kModifyServer = "kvx::ModifyServerWindow";

constexpr const char* kDeviceModifyTimeout = QT_TRANSLATE_NOOP(
    "kvx::ModifyDeviceWindow", "Device modification is timeout. Check Lumeno-KVX and Try again.");
constexpr const char* kServerModifyTimeout = QT_TRANSLATE_NOOP(
    "kvx::ModifyServerWindow", "Server modification is timeout. Check Lumeno-KVX and Try again.");
// Both Modify windows tell a refused step in the Modify Device window's words.
constexpr const char* kDeviceModifyFailed =
    QT_TRANSLATE_NOOP("kvx::ModifyDeviceWindow", "Device modification is Failed. Try again.");
constexpr const char* kServerModifyFailed =
    QT_TRANSLATE_NOOP("kvx::ModifyServerWindow", "Device modification is Failed. Try again.");

// A table entry or the host changed with a built line, taken only with a bare "+OK".
constexpr QueryStep entryChange(int wait, const char* context, const char* timeout, const char* failed) {
    return {"", wait, S::ExactlyOk, context, timeout, failed};
}

// A Server mode option set by Apply: a failure is only told, and Apply goes on.
constexpr QueryStep serverOption(const char* failed) {
    return {"", 1, S::ContainsOk, kServerMode, failed, failed, false};
}

// A Client mode setting whose new value the device echoes.
constexpr QueryStep echoedSetting(const char* timeout, const char* failed) {
    return {"", 0, S::Parsed, kClientMode, timeout, failed};
}

// The server table and the host, with the refusal told in the words of the window that asks.
constexpr QueryStep serverList(const char* refusedContext, const char* refused) {
    return {
        "Serv\r\n", 1, S::NoErrAtStart, kHostEntry, kServerListTimeout, refused, true, false, refusedContext,
    };
}

// A Client Mode load query: the value follows the "+OK" of the reply without its CR LF.
constexpr QueryStep clientQuery(std::string_view command, const char* timeout, const char* failed) {
    return {command, 0, S::NormalisedStartsWithOk, kClientMode, timeout, failed};
}

} // namespace

const QueryStep kDataPortQuery{
    "Port\r\n", 0, S::Parsed, kServerMode, kDataPortTimeout, kDataPortFailed,
};
const QueryStep kKeepSocketQuery{
    "prsv\r\n", 1, S::ContainsOk, kServerMode, kDataPortTimeout, kDataPortTimeout, true, true,
};
const QueryStep kKeepAliveQuery{
    "kato\r\n", 1, S::ContainsOk, kServerMode, kKeepAliveFailed, kKeepAliveFailed, false,
};
const QueryStep kDeviceListQuery{
    "Bind\r\n",
    1,
    S::NoErrAtStart,
    kServerMode,
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Get Bind is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Bind is Failed. Try again."),
};

const QueryStep kDataPortSet{
    "", 1, S::ContainsOk, kServerMode, kSetPortTimeout, kSetPortTimeout, true, true,
};
const QueryStep kKeepSocketSet =
    serverOption(QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Setting PRSV failed."));
const QueryStep kKeepAliveSet =
    serverOption(QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Setting TCP KeepAlive Time failed."));

const QueryStep kDeviceDelete = entryChange(
    10, kServerMode,
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Deleting Device is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ServerModeWindow", "Device Deleting is Failed. Try again."));
const QueryStep kDeviceAdd = entryChange(
    10, "kvx::AddDeviceWindow",
    QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Add Device is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::AddDeviceWindow", "Add Device Fail. Try again."));
const QueryStep kDeviceModifyRelease =
    entryChange(0, kModifyDevice, kDeviceModifyTimeout, kDeviceModifyFailed);
const QueryStep kDeviceModifyAdd = entryChange(10, kModifyDevice, kDeviceModifyTimeout, kDeviceModifyFailed);

const QueryStep kServerListQuery = serverList(
    kClientMode, QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Get Server host address is Failed. Try again."));
// A refusal leaves the host fields for the operator to fill.
const QueryStep kHostQuery =
    serverList("kvx::ClientSettingWindow",
               QT_TRANSLATE_NOOP("kvx::ClientSettingWindow", "Input IP Address and Port Number."));

const QueryStep kIntervalQuery = clientQuery("Rept\r\n", kIntervalFailed, kIntervalFailed);
const QueryStep kReconnectQuery =
    clientQuery("Psist\r\n",
                QT_TRANSLATE_NOOP("kvx::ClientModeWindow",
                                  "Get re-Connect status is timeout. Check Lumeno-KVX and Try again."),
                QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Get re-Connect status is Failed. Try again."));

const QueryStep kHostSet =
    entryChange(10, kHostEntry,
                QT_TRANSLATE_NOOP("kvx::HostEntry",
                                  "Set Server host address is timeout. Check Lumeno-KVX and Try again."),
                QT_TRANSLATE_NOOP("kvx::HostEntry", "Client Mode Setup Fail. Try again."));
const QueryStep kIntervalSet = echoedSetting(
    QT_TRANSLATE_NOOP("kvx::ClientModeWindow",
                      "Set Connection interval time is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Connection interval time Setup Fail. Try again."));
const QueryStep kReconnectSet =
    echoedSetting(QT_TRANSLATE_NOOP("kvx::ClientModeWindow",
                                    "Set re-Connect status is timeout. Check Lumeno-KVX and Try again."),
                  QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "re-Connect status Setup Fail. Try again."));

const QueryStep kServerDelete = entryChange(
    10, kClientMode,
    QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Deleting Server is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::ClientModeWindow", "Server Deleting is Failed. Try again."));
const QueryStep kServerAdd = entryChange(
    10, "kvx::AddServerWindow",
    QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Add Server is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::AddServerWindow", "Add Server Fail. Try again."));
const QueryStep kServerModifyDelete =
    entryChange(0, kModifyServer, kServerModifyTimeout, kServerModifyFailed);
const QueryStep kServerModifyAdd = entryChange(10, kModifyServer, kServerModifyTimeout, kServerModifyFailed);

bool dataPortAnswered(std::string_view reply) {
    // A bare "+OK" cut before its line end holds no port.
    return containsOk(normalisedReply(reply));
}

std::string dataPortSetCommand(std::string_view port) {
    return "Port " + std::string(port) + "\r\n";
}

std::string keepSocketSetCommand(bool keep) {
    return keep ? "prsv on\r\n" : "prsv off\r\n";
}

std::string keepAliveSetCommand(std::string_view timeout) {
    return "kato " + std::string(timeout) + " 10 3\r\n";
}

std::string deviceAddCommand(std::string_view bdaddrOrName, std::string_view port) {
    return "Bind " + std::string(bdaddrOrName) + " " + std::string(port) + "\r\n";
}

std::string deviceDeleteCommand(std::string_view, std::string_view port) {
    return "Rele " + std::string(port) + "\r\n";
}

std::string hostSetCommand(std::string_view ipText, std::string_view port) {
    return "Serv " + std::string(ipText) + ":" + std::string(port) + "\r\n";
}

std::string intervalSetCommand(std::string_view interval) {
    return "Rept " + std::string(interval) + "\r\n";
}

std::string reconnectSetCommand(std::string_view word) {
    return "Psist " + std::string(word) + "\r\n";
}

ReplyJudge confirmedBy(std::string confirmation) {
    return [confirmation = std::move(confirmation)](std::string_view reply) {
        return normalisedReply(reply) == confirmation;
    };
}

std::string serverAddCommand(std::string_view bdaddrOrName, std::string_view endpoint) {
    return "Serv " + std::string(endpoint) + " " + std::string(bdaddrOrName) + "\r\n";
}

std::string serverDeleteCommand(std::string_view bdaddrOrName, std::string_view) {
    return "DelServ " + std::string(bdaddrOrName) + "\r\n";
}

bool replaceEntry(DeviceSession& session, Prompter& prompter, const EntryReplacement& commands,
                  const QueryStep& removeStep, const QueryStep& addStep) {
    if (!runQuery(session, prompter, removeStep, commands.remove))
        return false;
    const QueryOutcome added = askQuery(session, addStep, commands.add);
    if (added)
        return true;
    // Whatever this answers, the operator learns of the failed change below; a second failure would
    // tell nothing more.
    session.transact(commands.restore, addStep.wait);
    reportFailure(session, prompter, addStep, added);
    return false;
}

} // namespace kvx
