#include "station_address.h"

#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

constexpr std::size_t kAddressPosition = 4; // after "+OK "

} // namespace

std::optional<std::string> stationInputFrom(std::string_view reply) {
    if (reply.empty() || !containsOk(reply))
        return std::nullopt;
    std::string input(
        beforeLineEnd(reply.size() > kAddressPosition ? reply.substr(kAddressPosition) : std::string_view{}));
    std::erase(input, ':');
    return input;
}

std::string stationSetCommand(std::string_view inputCharacters) {
    std::string command = "station ";
    for (std::size_t i = 0; i < inputCharacters.size(); ++i) {
        if (i > 0 && i % 2 == 0)
            command += ':';
        command += inputCharacters[i];
    }
    return command + "\r\n";
}

} // namespace kvx
