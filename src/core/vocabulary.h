#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The small shared vocabulary of the device protocol: addresses, operation modes, the record that
// describes a device and the firmware version code. Everything here is plain data and pure functions.
namespace kvx {

// The discovery exchange on UDP: the request, and the marker that opens every reply.
inline constexpr std::string_view kDiscoveryRequest{"\xFA\x05\x21\xEA", 4};
inline constexpr std::string_view kDiscoveryMarker{"\xFA\x05\x21\xEF", 4};
inline constexpr std::uint16_t kDiscoveryPort = 9097;

using ByteSpan6 = std::array<std::uint8_t, 6>;

// The wire carries a Bluetooth address least significant byte first; people read it the other way round.
std::string formatBdAddress(const ByteSpan6& wire);
// A MAC address is shown in the order its bytes arrive.
std::string formatMacAddress(const ByteSpan6& wire);
// "%02x : %02x : ..." as the local-device lists show it, most significant byte first.
std::string formatBdAddressSpaced(const ByteSpan6& msbFirst);

// The entry form is complete once no input position still shows the prompt character.
bool isEntryAddressComplete(std::string_view entryText, char prompt = '_');

enum class OperationMode : int { Server = 0, Client = 1, Vertex = 2, Repeater = 3, SerialHub = 4, Rs232 = 5 };
inline constexpr int kModeCount = 6;

struct ModeInfo {
    std::string_view name;
    std::string_view caption;
    std::string_view reply;
    std::string_view keyword;
};

// Index is the radio order of the Operation Mode page; every table indexed by mode uses it.
const std::array<ModeInfo, kModeCount>& modeTable();

std::string_view modeName(int index);    // "Unknown" outside 0..5
std::string_view modeKeyword(int index); // empty outside 0..5
std::string_view modeCaption(int index); // empty outside 0..5
// The index whose reply text equals the normalised reply exactly, case included.
std::optional<int> modeFromNormalisedReply(std::string_view normalised);

struct DeviceRecord {
    std::string btName;
    std::string modelCode;
    std::string serialNumber;
    std::string ipAddress;
    std::string controlPort;
    std::string macAddress;
    std::string productName;
    std::string btAddress;

    static constexpr int kFieldCount = 8;
    // Fields in column order of the search list, so rows and records convert without a mapping table.
    std::string& field(int column);
    const std::string& field(int column) const;
    bool operator==(const DeviceRecord&) const = default;
};

using VersionCode = unsigned;
inline constexpr VersionCode kVersionCodeUnknown = 0;
inline constexpr VersionCode kVersionCodeFallback = 256; // "1.0", used when the version reply is refused

// (first - '0') * 256 + (third - '0') as an unsigned byte; only those two characters are read.
VersionCode versionCodeFromText(std::string_view versionText);

// A reply without its closing CR LF (its last two characters, whatever they are).
std::string_view normalisedReply(std::string_view reply);

bool containsOk(std::string_view reply);
bool startsWithOk(std::string_view reply);
bool containsToken(std::string_view reply); // "+OK" or "-ERR"

// The decimal value of the leading digits, 0 when there are none.
unsigned leadingDecimal(std::string_view text);

// A value cut from a reply ends before its first CR or LF: whatever a device sends behind a line end
// must never travel back to it as a further command line.
std::string_view beforeLineEnd(std::string_view text);
// True when nothing but the closing CR LF (if any) ends a line in the command: one command, one line.
bool isSingleLine(std::string_view command);

// The capability line is the first line of the reply to "help": up to its first CR or LF.
std::string capabilityLineFrom(std::string_view helpReply);
// True when the keyword, in upper case, stands anywhere in the capability line.
bool capabilityLineSupports(std::string_view capabilityLine, std::string_view keyword);

} // namespace kvx
