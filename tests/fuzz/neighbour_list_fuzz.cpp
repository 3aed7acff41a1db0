#include "core/neighbour_list.h"

#include <cstdint>
#include <cstdlib>

// Any reply: no read outside it, every cut within its fixed width, no value carrying a line ending
// where the layout allows none.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    if (const auto state = kvx::parsePeriodicInquiryState(reply)) {
        if (state->interval.find(' ') != std::string::npos || state->length.find(' ') != std::string::npos)
            std::abort();
        if (!state->accessCode.empty() &&
            (state->accessCode.back() == '\r' || state->accessCode.back() == '\n'))
            std::abort();
        if (state->interval.size() + state->length.size() + state->accessCode.size() > size)
            std::abort();
    }
    if (const auto neighbours = kvx::parseNeighbourList(reply)) {
        std::size_t total = 0;
        for (const kvx::Neighbour& n : *neighbours) {
            if (n.address.empty() || n.address.size() > 17 || n.classOfDevice.size() > 8)
                std::abort();
            for (const std::string* text : {&n.address, &n.classOfDevice, &n.name}) {
                if (text->find_first_of("\r\n") != std::string::npos ||
                    text->find("+OK") != std::string::npos)
                    std::abort();
                total += text->size();
            }
        }
        if (total > size)
            std::abort();
    }
    return 0;
}
