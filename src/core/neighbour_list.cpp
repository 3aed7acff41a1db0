#include "neighbour_list.h"

#include "core/vocabulary.h"

namespace kvx {
namespace {

// Positions past the end give empty text rather than a fault.
std::string_view cut(std::string_view text, std::size_t position,
                     std::size_t count = std::string_view::npos) {
    return position < text.size() ? text.substr(position, count) : std::string_view();
}

// The text up to the next blank, and what remains after that blank.
std::string_view takeWord(std::string_view& rest) {
    const std::size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = cut(rest, word.size() + 1);
    return word;
}

} // namespace

std::optional<PeriodicInquiryState> parsePeriodicInquiryState(std::string_view reply) {
    if (reply.empty() || !containsOk(reply))
        return std::nullopt;
    PeriodicInquiryState state;
    state.running = reply.find("On") != std::string_view::npos;
    // The first blank at or after position 4 ends the state word; a reply without one has no values.
    const std::size_t blank = reply.find(' ', 4);
    std::string_view rest = blank == std::string_view::npos ? std::string_view() : reply.substr(blank + 1);
    state.interval = takeWord(rest);
    state.length = takeWord(rest);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
        rest.remove_suffix(1);
    state.accessCode = rest;
    return state;
}

std::optional<std::vector<Neighbour>> parseNeighbourList(std::string_view reply) {
    if (reply.empty() || !containsOk(reply))
        return std::nullopt;
    std::vector<Neighbour> neighbours;
    std::string_view rest = reply;
    for (;;) {
        const std::string_view line = rest.substr(0, rest.find_first_of("\r\n"));
        if (line.empty() || line.find("+OK") != std::string_view::npos)
            break;
        neighbours.push_back(
            {std::string(cut(line, 0, 17)), std::string(cut(line, 18, 8)), std::string(cut(line, 27))});
        // The line ending is taken as two characters, whatever they are.
        rest = cut(rest, line.size() + 2);
    }
    return neighbours;
}

} // namespace kvx
