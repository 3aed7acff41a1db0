#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

// Index into the indicator images (green, yellow, red, white). None lies past the last image, so the
// row is drawn without one.
enum class LinkIndicator : int { Green = 0, Yellow = 1, Red = 2, None = 4 };

// Older firmware reports no usable quality: the indicator shows from version 2.1 on, and on any version
// written with three parts. Takes the whole reply to "Ver".
bool firmwareShowsIndicator(std::string_view verReply);

// Read as the device's own tools read numbers: leading white space skipped, an optional sign, the digits
// that follow; 0 without digits. Saturates instead of overflowing.
int leadingInteger(std::string_view text);

LinkIndicator linkIndicatorFor(int quality, int signal);

struct ConnectionRow {
    // Fields 1 to 7 of the status line: idx, dev, port, address, name, tx, rx.
    std::array<std::string, 7> columns;
    // Fields 8 and 9, read with leadingInteger() whatever the firmware.
    int quality = 0;
    int signal = 0;
    LinkIndicator indicator = LinkIndicator::None;
};

struct ConnectionStatus {
    std::vector<ConnectionRow> rows;
    // The reply stopped in the middle of a line; the rows before it are complete.
    bool imperfect = false;
};

// The rows of a "List" reply. Quality and signal (fields 8 and 9) choose the indicator only when the
// firmware shows one; kvx100ctl's metrics report them whatever it is.
ConnectionStatus parseConnectionStatus(std::string_view listReply, bool showIndicator);

} // namespace kvx
