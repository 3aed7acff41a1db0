#include "core/status_lines.h"

#include <cstdlib>

// Any reply: no crash, data lines never hold a CR LF, and fields always come in the asked number and
// together never hold more than the line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const kvx::StatusLines parsed = kvx::parseStatusLines(reply);
    for (const std::string& line : parsed.lines) {
        if (line.find("\r\n") != std::string::npos || line == "+OK")
            std::abort();
        for (int count : {6, 9}) {
            const auto fields = kvx::splitPipeFields(line, count);
            std::size_t total = 0;
            for (const std::string& field : fields)
                total += field.size();
            if (static_cast<int>(fields.size()) != count || total > line.size())
                std::abort();
        }
    }
    return 0;
}
