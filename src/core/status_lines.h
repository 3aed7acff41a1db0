#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvx {

// The data lines of a list reply ("Stat", "List"): lines ended by CR LF, closed by a line "+OK".
struct StatusLines {
    enum class Ending {
        Complete,   // the "+OK" line was reached
        EndOfReply, // the reply ended right after a complete line, without the "+OK" line
        Imperfect,  // the reply stopped in the middle of a line (that line is not among the data lines)
    };
    std::vector<std::string> lines;
    Ending ending = Ending::Complete;
};

StatusLines parseStatusLines(std::string_view reply);

// Takes the text before the first CR or LF off `rest`, together with its line ending: the device ends
// lines with CR LF, and a lone CR or LF counts as one too. The last line may end with the reply.
std::string_view takeLine(std::string_view& rest);

// Fields separated by "|": each of the first count-1 is the text before the next "|" of what remains,
// the last is whatever remains. A missing "|" leaves its field empty and the remainder unshortened.
std::vector<std::string> splitPipeFields(std::string_view line, int count);

} // namespace kvx
