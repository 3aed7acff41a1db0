#pragma once

#include <QStringList>
#include <string>
#include <string_view>

namespace kvx::fleet {

// Text from a device or a file as the text and CSV outputs show it: control bytes become \r, \n, \t,
// \e or \xNN and a backslash is doubled, so a name can neither move the cursor nor fake a row or a
// column, and every shown text maps back to one original. Bytes from 0x80 on pass, for UTF-8 names.
std::string printable(std::string_view text);

// The same for a reply of several lines: each CR LF stays a line end, everything else is escaped.
std::string printableLines(std::string_view text);

// A device's messages on one line of a report, a line end inside one read as a blank.
std::string printableMessages(const QStringList& messages);

} // namespace kvx::fleet
