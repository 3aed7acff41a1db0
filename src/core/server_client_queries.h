#pragma once

#include "core/query.h"

#include <string>
#include <string_view>

// The Server and Client Mode windows' exchanges with the device, their table editors' and the Client
// Setting window's. Lines marked "built" are made by the functions beside them from the values shown.
namespace kvx {

// Server Mode window: the load.
extern const QueryStep kDataPortQuery; // Parsed by dataPortAnswered()
bool dataPortAnswered(std::string_view reply);
// A refusal is reported like silence, with the data port's time-out text.
extern const QueryStep kKeepSocketQuery;
// A failure is only told: the window shows the device's default timeout and goes on.
extern const QueryStep kKeepAliveQuery;
extern const QueryStep kDeviceListQuery;

// Server Mode window: Apply. A refused port is reported like silence; a failed option is only told,
// and Apply goes on.
extern const QueryStep kDataPortSet; // built
std::string dataPortSetCommand(std::string_view port);
extern const QueryStep kKeepSocketSet; // built
std::string keepSocketSetCommand(bool keep);
extern const QueryStep kKeepAliveSet; // built: the timeout, then the fixed probe interval and count
std::string keepAliveSetCommand(std::string_view timeout);

// The registered device table, whose entries the device knows by their port: Delete, Add Device, and
// Modify Device's two steps. All built.
extern const QueryStep kDeviceDelete;
extern const QueryStep kDeviceAdd;
extern const QueryStep kDeviceModifyRelease;
extern const QueryStep kDeviceModifyAdd;
std::string deviceAddCommand(std::string_view bdaddrOrName, std::string_view port);
std::string deviceDeleteCommand(std::string_view bdaddrOrName, std::string_view port);

// The server table and the host, read by the Client Mode and the Client Setting window. They share the
// time-out text; each tells a refusal in its own words.
extern const QueryStep kServerListQuery;
extern const QueryStep kHostQuery;

// Client Mode window: the load. The interval's silence is told with its refusal's text; only the
// reconnect request tells them apart.
extern const QueryStep kIntervalQuery;
extern const QueryStep kReconnectQuery;

// Client Mode window's Apply and the Client Setting window's OK. The device confirms a new interval and
// a new option by echoing them: Parsed by confirmedBy(intervalConfirmation()) and
// confirmedBy(reconnectConfirmation()).
extern const QueryStep kHostSet; // built
std::string hostSetCommand(std::string_view ipText, std::string_view port);
extern const QueryStep kIntervalSet; // built
std::string intervalSetCommand(std::string_view interval);
extern const QueryStep kReconnectSet; // built
std::string reconnectSetCommand(std::string_view word);
// The judge of an echo: the reply without its CR LF is exactly `confirmation`.
ReplyJudge confirmedBy(std::string confirmation);

// The server table, whose entries the device knows by their BDADDR/Name: Delete, Add Server, and
// Modify Server's two steps, whose refusal is told in the Modify Device window's words. All built;
// `endpoint` is "IP:Port".
extern const QueryStep kServerDelete;
extern const QueryStep kServerAdd;
extern const QueryStep kServerModifyDelete;
extern const QueryStep kServerModifyAdd;
std::string serverAddCommand(std::string_view bdaddrOrName, std::string_view endpoint);
std::string serverDeleteCommand(std::string_view bdaddrOrName, std::string_view endpoint);

// A table entry changed on the device, which has no command for a change: the old entry is deleted,
// then the new one added. When the add fails after the deletion went through, the old entry is added
// again, once and whatever that answers, so that the device keeps the entry the window's table still
// shows; the message is the failed add's, shown after that repair. True when the new entry was taken.
struct EntryReplacement {
    std::string remove;
    std::string add;
    std::string restore;
};
bool replaceEntry(DeviceSession& session, Prompter& prompter, const EntryReplacement& commands,
                  const QueryStep& removeStep, const QueryStep& addStep);

} // namespace kvx
