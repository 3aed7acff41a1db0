#pragma once

#include "core/ip_text.h"
#include "core/server_mode_replies.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the Client Mode and Client Setting windows read the device: the server table with the host
// address, the connection interval and the re-connect option.
namespace kvx {

struct HostAddress {
    Octets octets{};
    std::string port;
    bool operator==(const HostAddress&) const = default;
};

// The reply to "Serv": server lines as the "Bind" list has them (the endpoint is "IP:Port"), then the
// host line "+OK", a blank, the dotted host address, ":" and the port. The host line ends the list; what
// follows it is not read.
struct ServerList {
    enum class Outcome {
        Listed,    // the host line was reached, or the reply ended with a complete line before it
        Refused,   // the reply begins with "-ERR"
        Imperfect, // a line without its CR LF before the host line; the entries before it are kept
    };
    std::vector<ListedEntry> entries;
    std::optional<HostAddress> host;
    Outcome outcome = Outcome::Listed;
};
ServerList parseServerList(std::string_view reply);

// The interval of the normalised "Rept" reply "+OK REPEAT every <interval> ms": from position 17, without
// the last three characters.
std::string intervalFrom(std::string_view normalised);
// The value of the normalised "Psist" reply "+OK PERSIST <value>": from position 12 to the end.
std::string reconnectFrom(std::string_view normalised);

// The normalised replies by which the device confirms a new interval and a new re-connect option.
std::string intervalConfirmation(std::string_view interval);
std::string reconnectConfirmation(std::string_view word);

} // namespace kvx
