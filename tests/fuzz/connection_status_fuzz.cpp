#include "core/connection_status.h"

#include <cstdint>
#include <cstdlib>

// Any reply: no crash or undefined arithmetic, rows never hold more text than the reply, and without the
// firmware's consent no row has an indicator.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    kvx::firmwareShowsIndicator(reply);
    for (bool showIndicator : {true, false}) {
        const kvx::ConnectionStatus status = kvx::parseConnectionStatus(reply, showIndicator);
        std::size_t total = 0;
        for (const kvx::ConnectionRow& row : status.rows) {
            for (const std::string& column : row.columns) {
                if (column.find("\r\n") != std::string::npos)
                    std::abort();
                total += column.size();
            }
            if (!showIndicator && row.indicator != kvx::LinkIndicator::None)
                std::abort();
            if (showIndicator && row.indicator == kvx::LinkIndicator::None)
                std::abort();
        }
        if (total > size)
            std::abort();
    }
    return 0;
}
