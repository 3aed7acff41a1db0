#include "core/discovery.h"

#include <cstdlib>

// Any datagram: no crash, and a row only with fields of the shapes the list can show.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    const auto record = kvx::parseDiscoveryReply(datagram);
    if (!record)
        return 0;
    if (datagram.substr(0, kvx::kDiscoveryReadLimit).find(kvx::kDiscoveryMarker) == std::string_view::npos)
        std::abort();
    const auto shapeOk = [](const std::string& text, std::size_t expected) {
        return text.empty() || text.size() == expected;
    };
    if (!shapeOk(record->macAddress, 17) || !shapeOk(record->btAddress, 17) ||
        record->ipAddress.size() > 15 || record->controlPort.size() > 5)
        std::abort();
    for (const std::string* text :
         {&record->productName, &record->modelCode, &record->serialNumber, &record->btName}) {
        if (text->size() > 255 || text->find('\0') != std::string::npos)
            std::abort();
    }
    return 0;
}
