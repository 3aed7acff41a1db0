#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kvx::sim {

// Replies the settings areas share.
inline const std::string kOk = "+OK\r\n";
inline const std::string kRefused = "-ERR Invalid value\r\n";
// What a set answers that would grow a list of the device beyond its cap; the list stays as it was.
inline const std::string kTableFullReply = "-ERR Table full\r\n";

// A setting the device keeps as the text it reports. Without an argument it is asked for, answered by
// "+OK ", the label and the value; with one it is set when `valid`, answered by "+OK", or refused.
std::string setting(std::string& value, std::string_view argument, std::string_view label, bool valid);

// What the device knows of the peer on one control connection.
struct Session {
    std::string peer; // "address:port", for the event log
    std::string user; // as "User" gave it, for "Pass" to check
    bool loggedIn = false;
};

// One command as its handler sees it.
struct Request {
    std::string_view argument; // the text behind the word, without the blanks around it
    Session& session;
    bool reboot = false; // set by a handler whose reply the device reboots after
};

enum class Access { LoggedIn, BeforeLogin };

// Every command of the device by its word, as the device spells it (case matters). Each area of the
// device registers its own words; a handler returns the whole reply.
class CommandTable {
public:
    using Handler = std::function<std::string(Request&)>;
    struct Command {
        Handler handler;
        Access access = Access::LoggedIn;
    };

    // `area->*handler` answers `word`, and `alias` as well when one is given: the device takes the
    // lower-case words a configuration restore sends as the same commands. Handlers that need nothing of
    // the session take the argument alone.
    template <class Area, class Argument>
    void add(std::string_view word, Area* area, std::string (Area::*handler)(Argument),
             std::string_view alias = {}, Access access = Access::LoggedIn) {
        static_assert(std::is_same_v<Argument, std::string_view> || std::is_same_v<Argument, Request&>);
        Command command{[area, handler](Request& request) {
                            if constexpr (std::is_same_v<Argument, Request&>)
                                return (area->*handler)(request);
                            else
                                return (area->*handler)(request.argument);
                        },
                        access};
        if (!alias.empty())
            m_commands.insert_or_assign(std::string(alias), command);
        m_commands.insert_or_assign(std::string(word), std::move(command));
    }

    const Command* find(std::string_view word) const;
    std::vector<std::string_view> words() const; // in byte order

private:
    std::map<std::string, Command, std::less<>> m_commands;
};

} // namespace kvx::sim
