#include "core/config_restore.h"
#include "core/profile_file.h"
#include "core/vocabulary.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

// Any file the restore does not refuse becomes commands that are one line each, carry no ";" but the
// one that ends a setting, and stay within what the gate lets through: a route line is the longest,
// a From with the To of every route, each value at most the gate's bound.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kvx::ProfileFile file =
        kvx::ProfileFile::fromText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!kvx::ConfigRestore::refusalOf(file, QStringLiteral("fuzz.kcf")).isEmpty())
        return 0;
    for (const kvx::RestoreStep& step : kvx::restoreSteps(file)) {
        const std::string& command = step.command;
        const std::size_t semicolon = command.find(';');
        if (!kvx::isSingleLine(command) || !command.ends_with("\r\n") ||
            (semicolon != std::string::npos && semicolon != command.size() - 3) ||
            command.size() > (kvx::ConfigRestore::kMaxValueBytes + 1) * 502)
            std::abort();
    }
    return 0;
}
