#pragma once

#include "core/query.h"

#include <functional>
#include <string>
#include <string_view>

namespace kvx {

class DeviceLink;
class Prompter;
class Transcript;

struct Credentials {
    std::string user;
    std::string password;
};

// The two login lines, built with the credentials; their refusal is the caller's to report.
extern const QueryStep kUserStep;
extern const QueryStep kPassStep;

// Both replies must be exactly these (after their CR LF is taken off), case included.
bool loginRepliesAccepted(std::string_view userReply, std::string_view passReply);

// The console shows one "*" per password character instead of the password itself.
std::string passwordEcho(std::string_view password);

// Reads and drops the greeting, then sends User and Pass, all within the link's unlimited-wait bound.
// Silence is reported here (with the reconnect request); a refusal is left to the caller to report.
bool runLoginExchange(DeviceLink& link, Transcript& transcript, Prompter& prompter,
                      const std::function<void()>& postReconnect, const Credentials& credentials);

} // namespace kvx
