#include "firmware_version.h"

#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

char charAt(std::string_view text, std::size_t i) {
    return i < text.size() ? text[i] : '\0';
}

} // namespace

std::string versionTextFromReply(std::string_view reply) {
    return reply.size() > 8 ? std::string(reply.substr(8)) : std::string();
}

unsigned versionNumberFromText(std::string_view versionText) {
    const char two[2] = {charAt(versionText, 0), charAt(versionText, 2)};
    return leadingDecimal(std::string_view(two, two[0] ? 2 : 0));
}

int listChecksFor(std::string_view versionText, unsigned versionNumber) {
    int checks = std::count(versionText.begin(), versionText.end(), '.') >= 2 ? 1 : 0;
    if (versionNumber >= 22 || versionNumber == 21)
        ++checks;
    return checks;
}

} // namespace kvx
