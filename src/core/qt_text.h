#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kvx {

// Device texts are bytes kept in std::string; the widgets show them as UTF-8.
inline QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline std::string toStd(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace kvx
