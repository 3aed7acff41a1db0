#pragma once

#include <optional>
#include <string>
#include <string_view>

// The serial line settings of RS232 mode as they travel: the baud rate in decimal, a frame word of
// three characters (data bits digit, parity letter, stop bits digit, for example "8N1") and a flow word.
namespace kvx {

enum class FlowControl { None, Hardware, XonXoff };

// Defaults are what the Serial Port Setup window shows before anything is read. An empty baud rate is
// one that could not be read.
struct SerialLine {
    std::string baud = "115200";
    char dataBits = '8';
    char parity = 'N';
    char stopBits = '1';
    FlowControl flow = FlowControl::Hardware;
    bool operator==(const SerialLine&) const = default;
};

// Nothing when the reply lacks "+OK". Otherwise the words after "+OK RS232 ": baud, frame and flow,
// separated by single blanks and ended by the first CR or LF. A missing or unreadable baud word gives an
// empty rate, never a rate the device did not report; any other missing or unreadable part and an
// unknown flow word leave their defaults; a frame character that is no known one is kept as sent.
std::optional<SerialLine> serialLineFrom(std::string_view reply);

std::string serialSetCommand(const SerialLine& line);

} // namespace kvx
