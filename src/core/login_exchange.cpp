#include "login_exchange.h"

#include "core/device_link.h"
#include "core/prompter.h"
#include "core/vocabulary.h"

#include <QtGlobal>

namespace kvx {

const QueryStep kUserStep{
    "",
    0,
    QueryStep::Success::AnyReply,
    "kvx::LoginExchange",
    QT_TRANSLATE_NOOP("kvx::LoginExchange", "Get UserID is timeout. Check Lumeno-KVX and Try again."),
    nullptr,
};
const QueryStep kPassStep{
    "",
    0,
    QueryStep::Success::AnyReply,
    "kvx::LoginExchange",
    QT_TRANSLATE_NOOP("kvx::LoginExchange", "Get Password is timeout. Check Lumeno-KVX and Try again."),
    nullptr,
};

bool loginRepliesAccepted(std::string_view userReply, std::string_view passReply) {
    return normalisedReply(userReply) == "+OK Password required" &&
           normalisedReply(passReply) == "+OK User Authenticated";
}

std::string passwordEcho(std::string_view password) {
    // One star per character as the operator typed it, not per UTF-8 byte.
    std::size_t characters = 0;
    for (char c : password)
        characters += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1 : 0;
    return "Pass " + std::string(characters, '*') + "\r\n";
}

bool runLoginExchange(DeviceLink& link, Transcript& transcript, Prompter& prompter,
                      const std::function<void()>& postReconnect, const Credentials& credentials) {
    constexpr std::size_t kGreetingLimit = 100;
    // Greeting, User and Pass share one bound: a device that answers each just before its own bound
    // runs out cannot hold the window (or a kvx100ctl job) for three of them.
    const DeviceLink::Deadline bound(link, link.timing().unlimitedWaitBound);
    link.receiveOnce(kGreetingLimit);

    // The exchange runs on the bare link, before any session exists, so it tells silence itself.
    const auto silent = [&](const QueryStep& step) {
        prompter.message(step.emptyText());
        if (step.reconnectAfterSilence)
            postReconnect();
        return false;
    };
    const std::string first = link.transact("User " + credentials.user + "\r\n", kUserStep.wait, transcript);
    if (first.empty())
        return silent(kUserStep);
    const std::string second = link.transact("Pass " + credentials.password + "\r\n", kPassStep.wait,
                                             transcript, passwordEcho(credentials.password));
    if (second.empty())
        return silent(kPassStep);
    return loginRepliesAccepted(first, second);
}

} // namespace kvx
