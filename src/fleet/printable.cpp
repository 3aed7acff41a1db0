#include "printable.h"

#include "core/qt_text.h"

namespace kvx::fleet {

std::string printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\x1b':
            out += "\\e";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f)
                out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xf]);
            else
                out += c;
        }
    }
    return out;
}

std::string printableLines(std::string_view text) {
    std::string out;
    for (std::size_t end = text.find("\r\n"); end != std::string_view::npos; end = text.find("\r\n")) {
        out += printable(text.substr(0, end)) + "\r\n";
        text.remove_prefix(end + 2);
    }
    return out + printable(text);
}

std::string printableMessages(const QStringList& messages) {
    return printable(
        toStd(messages.join(QStringLiteral(" / ")).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
}

} // namespace kvx::fleet
