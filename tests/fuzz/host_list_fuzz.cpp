#include "ctl/invocation.h"

#include <cstdint>
#include <cstdlib>

// Any host list: each device it gives reads back as itself, and a refusal names its line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto hosts =
        kvx::ctl::parseHostList(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), error);
    if (!hosts) {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const kvx::ctl::HostAddress& host : *hosts) {
        const auto again = kvx::ctl::parseHostAddress(host.label());
        if (!again || again->label() != host.label())
            std::abort();
    }
    return 0;
}
