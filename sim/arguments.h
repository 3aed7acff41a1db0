#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kvx::sim {

// How the device reads the arguments of its commands.

// Equal but for the case of ASCII letters.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Without the blanks and tabs around it.
std::string_view trimBlanks(std::string_view text);

// The words between runs of blanks.
std::vector<std::string_view> words(std::string_view text);

// A whole decimal number of at most nine digits within bounds, nothing else.
bool numberWithin(std::string_view text, long low, long high);

// "AA:BB:CC:DD:EE:FF" (hexadecimal, either case) to its six bytes in text order; nothing for any other shape.
std::optional<std::array<std::uint8_t, 6>> parseColonAddress(std::string_view text);

} // namespace kvx::sim
