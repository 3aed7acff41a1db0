#pragma once

#include <optional>
#include <string>
#include <string_view>

// The station address of Repeater mode as the device reports and takes it: six pairs of characters
// joined by ":".
namespace kvx {

// What the reply to "station" offers the address field: everything from position 4 on, line end
// included, without its ":" characters. Nothing when the reply is empty or lacks "+OK"; the field
// itself skips the characters it cannot take.
std::optional<std::string> stationInputFrom(std::string_view reply);

// "station " and the input characters in pairs joined by ":", then CR LF.
std::string stationSetCommand(std::string_view inputCharacters);

} // namespace kvx
