#pragma once

#include <string>
#include <string_view>

namespace kvx {

// The version text is the version reply from its ninth character on (CR LF included); the version
// number is made of its first and third characters, "2.1.0" giving 21.
std::string versionTextFromReply(std::string_view reply);
unsigned versionNumberFromText(std::string_view versionText);
// How many times the "list" check runs for a version: once per condition that holds.
int listChecksFor(std::string_view versionText, unsigned versionNumber);

} // namespace kvx
