#include "core/server_mode_replies.h"

#include <cstdint>
#include <cstdlib>

// Any reply: no read outside it, no entry text carrying a line end or more than its line, and a refusal
// never yields entries.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const kvx::BindList list = kvx::parseBindList(reply);
    if (list.outcome == kvx::BindList::Outcome::Refused && !list.entries.empty())
        std::abort();
    std::size_t total = 0;
    for (const kvx::ListedEntry& entry : list.entries) {
        for (const std::string* text : {&entry.index, &entry.bdaddrOrName, &entry.endpoint}) {
            if (text->find("\r\n") != std::string::npos)
                std::abort();
            total += text->size();
        }
    }
    if (total > size)
        std::abort();
    if (kvx::keepAliveFrom(reply).find_first_of(" \r\n") != std::string::npos ||
        kvx::defaultPortFrom(reply).size() > 4)
        std::abort();
    return 0;
}
