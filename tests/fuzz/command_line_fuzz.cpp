#include "ctl/invocation.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

// Any arguments (NUL-separated): a run, a text to print or a usage error, never a crash; a run always
// names a device, a positive worker count within the bound and finite waits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "kvx100ctl";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QStringList arguments{QStringLiteral("kvx100ctl")};
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& part : bytes.split('\0'))
        arguments << QString::fromUtf8(part);
    const kvx::ctl::ParsedCommandLine parsed =
        kvx::ctl::parseCommandLine(arguments, [] { return std::optional<std::string>(); });
    if (parsed.kind == kvx::ctl::ParsedCommandLine::Kind::Run) {
        const kvx::ctl::Invocation& run = parsed.invocation;
        const bool discover = run.settings.command == kvx::fleet::Command::Discover;
        if ((!discover && run.devices.empty()) || run.parallel < 1 || run.parallel > kvx::ctl::kMaxParallel ||
            !(run.timeoutSeconds > 0 && run.timeoutSeconds <= kvx::ctl::kMaxTimeoutSeconds))
            std::abort();
    } else if (parsed.text.empty()) {
        std::abort();
    }
    return 0;
}
