#include "core/profile_file.h"

#include <cstdint>
#include <cstdlib>

// Any file: no read outside it, and every value a reader gets stands on one line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kvx::ProfileFile file = kvx::ProfileFile::fromText(text);
    for (const char* section : {"MODE", "BIND", "SERV", "ROUTE", ""}) {
        for (const std::string& key : file.keys(section)) {
            const std::string value = file.read(section, key);
            if (value.find_first_of("\r\n") != std::string::npos)
                std::abort();
        }
    }
    return 0;
}
