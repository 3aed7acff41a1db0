#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the Server Mode window reads the device: the default data port, the two TCP options and the
// registered device table. Values are cut from the replies exactly as the device places them.
namespace kvx {

// One line of a table the device lists: index, Bluetooth address, name and endpoint separated by "|",
// with exactly one of address and name empty. The endpoint is the data port in the "Bind" list and
// "IP:Port" in the "Serv" list.
struct ListedEntry {
    std::string index;
    std::string bdaddrOrName;
    std::string endpoint;
    bool operator==(const ListedEntry&) const = default;
};
// "index|address||endpoint" or "index||name|endpoint"; a line without any "|" is all index.
ListedEntry listedEntryFromLine(std::string_view line);

// The registered devices of a "Bind" reply.
struct BindList {
    enum class Outcome {
        Listed,    // up to the "+OK" line, or to the end of a reply that ended with a complete line
        Refused,   // the reply begins with "-ERR"
        Imperfect, // a line without its CR LF; the entries before it are kept
    };
    std::vector<ListedEntry> entries;
    Outcome outcome = Outcome::Listed;
};
BindList parseBindList(std::string_view reply);

// The last four characters of the normalised "Port" reply, whatever precedes them.
std::string defaultPortFrom(std::string_view normalised);
// The socket is kept unless the "prsv" reply says "off" anywhere.
bool keepSocketFrom(std::string_view reply);
// The "kato" reply's value: from position 9 up to the next blank. A line end stops it too, so that the
// value never carries a line break into the command that sends it back.
std::string keepAliveFrom(std::string_view reply);

} // namespace kvx
