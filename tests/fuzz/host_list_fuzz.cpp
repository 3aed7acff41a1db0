#include "ctl/invocation.h"
#include "fleet/inventory.h"

#include <cstdint>
#include <cstdlib>

// Any host list or inventory: each device it gives reads back as itself, and a refusal names its line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto readsBack = [](const kvx::fleet::HostAddress& host) {
        const auto again = kvx::fleet::parseHostAddress(host.label());
        if (!again || again->label() != host.label())
            std::abort();
    };
    std::string error;
    if (const auto hosts = kvx::ctl::parseHostList(text, error)) {
        for (const kvx::fleet::HostAddress& host : *hosts)
            readsBack(host);
    } else if (!error.starts_with("line ")) {
        std::abort();
    }
    error.clear();
    if (const auto inventory = kvx::fleet::parseInventory(text, error)) {
        for (const kvx::fleet::InventoryEntry& entry : *inventory)
            readsBack(entry.address);
    } else if (!error.starts_with("line ")) {
        std::abort();
    }
    return 0;
}
