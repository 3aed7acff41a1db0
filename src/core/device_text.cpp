#include "device_text.h"

#include <QStringDecoder>

namespace kvx {

QString deviceTextShown(std::string_view bytes) {
    // A byte order mark is shown too: dropping it would hide a byte.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(view);
}

std::string deviceTextSent(const QString& text, const QString& shown, std::string_view bytes) {
    if (text == shown)
        return std::string(bytes);
    return text.toUtf8().toStdString();
}

} // namespace kvx
