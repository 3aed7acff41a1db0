#include "core/client_mode_replies.h"

#include <cstdint>
#include <cstdlib>

// Any reply: no read outside it, octets always within 8 bits, no text carrying a line end, and the
// host and an imperfect ending never both.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const kvx::ServerList list = kvx::parseServerList(reply);
    if (list.host && list.outcome != kvx::ServerList::Outcome::Listed)
        std::abort();
    std::size_t total = 0;
    for (const kvx::ListedEntry& entry : list.entries) {
        for (const std::string* text : {&entry.index, &entry.bdaddrOrName, &entry.endpoint}) {
            if (text->find("\r\n") != std::string::npos)
                std::abort();
            total += text->size();
        }
    }
    if (list.host) {
        for (int octet : list.host->octets) {
            if (octet < 0 || octet > 255)
                std::abort();
        }
        if (list.host->port.find("\r\n") != std::string::npos)
            std::abort();
        total += list.host->port.size();
    }
    if (total > size)
        std::abort();
    if (kvx::intervalFrom(reply).size() > size || kvx::reconnectFrom(reply).size() > size)
        std::abort();
    return 0;
}
