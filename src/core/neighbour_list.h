#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

inline constexpr std::string_view kGeneralInquiryAccessCode = "0x9E8B33";
inline constexpr std::string_view kLimitedInquiryAccessCode = "0x9E8B00";

// The device's periodic inquiry as the reply to "pinq" states it: "+OK", the state word, the interval,
// the length and the access code, separated by single blanks.
struct PeriodicInquiryState {
    bool running = false;
    std::string interval;
    std::string length;
    std::string accessCode;
    // Only the general code written exactly so counts as general; every other text means limited.
    bool general() const { return accessCode == kGeneralInquiryAccessCode; }
};

// Nothing when the reply is empty or holds no "+OK". Missing parts come out empty.
std::optional<PeriodicInquiryState> parsePeriodicInquiryState(std::string_view reply);

struct Neighbour {
    std::string address;
    std::string classOfDevice;
    std::string name;
};

// The neighbours of an "ngbrh" reply, cut at fixed positions from each line; nothing when the reply is
// empty or holds no "+OK", which leaves the rows shown before in place.
std::optional<std::vector<Neighbour>> parseNeighbourList(std::string_view reply);

} // namespace kvx
