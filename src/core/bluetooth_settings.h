#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the Bluetooth page reads and writes the device's own Bluetooth settings. Values stand at fixed
// positions of the normalised reply; nothing here trims or checks them beyond what is stated.
namespace kvx {

// Where the value starts: after "+OK " for most queries, further on for MaxDT.
inline constexpr std::size_t kQueryValuePosition = 4;
inline constexpr std::size_t kMaxDtValuePosition = 8;

// The normalised reply from `position` to its end; empty when the reply is not that long.
std::string valueFrom(std::string_view normalised, std::size_t position);
// From position 17 up to, not including, the last four characters; empty when nothing lies between.
std::string linkTimeoutFrom(std::string_view normalised);

// Connectable (page scan) and Discoverable (inquiry scan) are one scan mode on the device.
struct ScanMode {
    bool discoverable = false;
    bool connectable = false;
    bool operator==(const ScanMode&) const = default;
};
// The word sent after "Scan ".
std::string_view scanWord(ScanMode mode);
// The device reports the mode in other words than it takes; they are compared exactly, blanks included.
std::optional<ScanMode> scanModeFromReport(std::string_view value);

// Entry 0 is "low", entry 1 "high"; any other entry has no word.
std::string_view securityWord(int entry);
std::optional<int> securityEntryFromReport(std::string_view value);

std::string_view pairableWord(bool on);
std::optional<bool> pairableFromReport(std::string_view value);

// The device's own Bluetooth radios from the reply to "Stat".
inline constexpr int kLocalDeviceFields = 6;
struct LocalDevices {
    enum class Outcome {
        Read,      // up to the "+OK" line, or to the end of a reply that ended with a complete line
        Refused,   // the reply begins with "-ERR"
        Imperfect, // the reply stopped in the middle of a line; the rows before it are kept
    };
    std::vector<std::vector<std::string>> rows; // idx, BDAddr, Tx, Rx, Tx_Err, Rx_Err as sent
    Outcome outcome = Outcome::Read;
};
LocalDevices parseLocalDevices(std::string_view reply);

} // namespace kvx
