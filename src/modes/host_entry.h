#pragma once

#include "core/client_mode_replies.h"

#include <QString>
#include <optional>

class QLineEdit;

namespace kvx {

class DeviceSession;
class IpAddressEdit;
class Prompter;
class WindowLoad;
struct QueryStep;

// The host that the device connects to in Client mode, as both the Client Mode and the Client Setting
// window take it from the operator.

// The message for what is missing from the entry; nothing when the address and the port are both there.
std::optional<QString> missingHostEntry(const IpAddressEdit& address, const QString& port);

void showHostAddress(const HostAddress& host, IpAddressEdit& address, QLineEdit& port);

// Asks "Serv" for the server table and the host with `step`, which tells a refusal in the asking
// window's words, as part of `load`. Nothing when the step failed; an imperfect list is the caller's to
// report once it has shown what arrived.
std::optional<ServerList> readServerList(WindowLoad& load, const QueryStep& step);

// Sends "Serv <IP text>:<port>"; true when the device took it, otherwise its message was shown.
bool sendHostAddress(DeviceSession& session, Prompter& prompter, const IpAddressEdit& address,
                     const QLineEdit& port);

} // namespace kvx
