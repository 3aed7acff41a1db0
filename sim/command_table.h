#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace kvx::sim {

// What a set answers that would grow a list of the device beyond its cap; the list stays as it was.
inline constexpr std::string_view kTableFullReply = "-ERR Table full\r\n";

// Settings commands by their word, as the device spells it (case matters). Each settings area of the
// device registers its own words; a handler gets the text after the word and returns the whole reply.
class CommandTable {
public:
    using Handler = std::function<std::string(std::string_view argument)>;

    void add(std::string word, Handler handler) { m_handlers[std::move(word)] = std::move(handler); }
    // The device takes the lower-case words a configuration restore sends as the same commands.
    void alias(std::string word, std::string_view existing) {
        if (const Handler* handler = find(existing))
            m_handlers[std::move(word)] = *handler;
    }
    const Handler* find(std::string_view word) const {
        const auto it = m_handlers.find(word);
        return it == m_handlers.end() ? nullptr : &it->second;
    }
    template <class F> void forEachWord(F&& f) const {
        for (const auto& [word, handler] : m_handlers)
            f(word);
    }

private:
    std::map<std::string, Handler, std::less<>> m_handlers;
};

} // namespace kvx::sim
