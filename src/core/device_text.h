#pragma once

#include <QString>
#include <string>
#include <string_view>

// Text read from the device goes back to it as the bytes it came as, unless the operator edited it.
// The device keeps a name in whatever encoding the tool that set it used (Latin-1, CP949, UTF-8); a
// window that showed it decoded and sent the decoded text back would turn every byte it could not
// decode into EF BF BD on the next, unrelated Apply.
namespace kvx {

// What a window shows for device bytes: valid UTF-8 as UTF-8; anything else as Latin-1, one character a
// byte, so that every byte stays in sight and none turns into a replacement mark.
QString deviceTextShown(std::string_view bytes);

// What goes to the device for a field that now holds `text`, after it was filled with `shown` for
// `bytes`: those bytes while the field still shows them; otherwise the operator's text as UTF-8.
std::string deviceTextSent(const QString& text, const QString& shown, std::string_view bytes);

// A device text as a window keeps it: the bytes, and what it showed for them.
struct DeviceText {
    std::string bytes;
    QString shown;

    static DeviceText read(std::string_view bytes) { return {std::string(bytes), deviceTextShown(bytes)}; }
    // The device tells texts apart by their bytes.
    bool operator==(const DeviceText& other) const { return bytes == other.bytes; }
};

} // namespace kvx
