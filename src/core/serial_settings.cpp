#include "serial_settings.h"

#include "core/vocabulary.h"

#include <algorithm>
#include <array>

namespace kvx {
namespace {

constexpr std::size_t kWordsPosition = 10; // after "+OK RS232 "

struct FlowWord {
    FlowControl flow;
    std::string_view word;
};
constexpr std::array<FlowWord, 3> kFlowWords{{
    {FlowControl::None, "none"},
    {FlowControl::Hardware, "hardware"},
    {FlowControl::XonXoff, "xonoff"},
}};

// Characters that may go back to the device in a command line; anything else would be read as a value
// and could break the line.
bool printable(char c) {
    return c > ' ' && c < '\x7f';
}

bool printable(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return printable(c); });
}

// The text before the next blank, and what follows that blank.
std::string_view takeWord(std::string_view& rest) {
    const std::size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
    return word;
}

void takeFrameCharacter(std::string_view frame, std::size_t index, char& into) {
    if (index < frame.size() && printable(frame[index]))
        into = frame[index];
}

} // namespace

std::optional<SerialLine> serialLineFrom(std::string_view reply) {
    if (!containsOk(reply))
        return std::nullopt;
    SerialLine line;
    std::string_view rest = reply.size() > kWordsPosition ? reply.substr(kWordsPosition) : std::string_view{};
    rest = rest.substr(0, rest.find_first_of("\r\n"));

    const std::string_view baud = takeWord(rest);
    line.baud = printable(baud) ? std::string(baud) : std::string();
    const std::string_view frame = takeWord(rest);
    takeFrameCharacter(frame, 0, line.dataBits);
    takeFrameCharacter(frame, 1, line.parity);
    takeFrameCharacter(frame, 2, line.stopBits);
    for (const FlowWord& known : kFlowWords) {
        if (rest == known.word)
            line.flow = known.flow;
    }
    return line;
}

std::string serialSetCommand(const SerialLine& line) {
    std::string_view flow;
    for (const FlowWord& known : kFlowWords) {
        if (line.flow == known.flow)
            flow = known.word;
    }
    return "rs232 " + line.baud + " " + line.dataBits + line.parity + line.stopBits + " " +
           std::string(flow) + "\r\n";
}

} // namespace kvx
