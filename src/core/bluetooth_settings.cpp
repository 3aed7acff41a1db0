#include "bluetooth_settings.h"

#include "core/status_lines.h"
#include "core/vocabulary.h"

#include <array>

namespace kvx {
namespace {

constexpr std::size_t kLinkTimeoutPosition = 17;
// The unit that follows the link timeout in the reply.
constexpr std::size_t kLinkTimeoutTail = 4;

struct ScanForm {
    ScanMode mode;
    std::string_view sent;
    std::string_view reported;
};

constexpr std::array<ScanForm, 4> kScanForms{{
    {{true, true}, "Inquiry page", "inquiry page"},
    {{true, false}, "Inquiry", "inquiry "},
    {{false, true}, "Page", " page"},
    {{false, false}, "noscan", "noscan"},
}};

constexpr std::array<std::string_view, 2> kSecurityWords{"low", "high"};

} // namespace

std::string valueFrom(std::string_view normalised, std::size_t position) {
    return position < normalised.size() ? std::string(beforeLineEnd(normalised.substr(position)))
                                        : std::string();
}

std::string linkTimeoutFrom(std::string_view normalised) {
    if (normalised.size() < kLinkTimeoutPosition + kLinkTimeoutTail)
        return {};
    return std::string(beforeLineEnd(normalised.substr(
        kLinkTimeoutPosition, normalised.size() - kLinkTimeoutTail - kLinkTimeoutPosition)));
}

std::string_view scanWord(ScanMode mode) {
    for (const ScanForm& form : kScanForms) {
        if (form.mode == mode)
            return form.sent;
    }
    return {};
}

std::optional<ScanMode> scanModeFromReport(std::string_view value) {
    for (const ScanForm& form : kScanForms) {
        if (form.reported == value)
            return form.mode;
    }
    return std::nullopt;
}

std::string_view securityWord(int entry) {
    return entry >= 0 && entry < int(kSecurityWords.size()) ? kSecurityWords[std::size_t(entry)]
                                                            : std::string_view{};
}

std::optional<int> securityEntryFromReport(std::string_view value) {
    for (std::size_t i = 0; i < kSecurityWords.size(); ++i) {
        if (kSecurityWords[i] == value)
            return int(i);
    }
    return std::nullopt;
}

std::string_view pairableWord(bool on) {
    return on ? "on" : "off";
}

std::optional<bool> pairableFromReport(std::string_view value) {
    if (value == "on")
        return true;
    if (value == "off")
        return false;
    return std::nullopt;
}

LocalDevices parseLocalDevices(std::string_view reply) {
    LocalDevices result;
    if (reply.starts_with("-ERR")) {
        result.outcome = LocalDevices::Outcome::Refused;
        return result;
    }
    const StatusLines parsed = parseStatusLines(reply);
    for (const std::string& line : parsed.lines)
        result.rows.push_back(splitPipeFields(line, kLocalDeviceFields));
    if (parsed.ending == StatusLines::Ending::Imperfect)
        result.outcome = LocalDevices::Outcome::Imperfect;
    return result;
}

} // namespace kvx
