#include "device_field.h"

#include "core/device_text.h"

#include <QByteArray>
#include <QLineEdit>
#include <QVariant>

namespace kvx {
namespace {

constexpr const char* kBytes = "kvxDeviceBytes";
constexpr const char* kShown = "kvxDeviceShown";

} // namespace

void showDeviceText(QLineEdit& field, std::string_view bytes) {
    field.setText(deviceTextShown(bytes));
    rememberDeviceText(field, bytes);
}

void rememberDeviceText(QLineEdit& field, std::string_view bytes) {
    // What the field holds after the fill, which a length limit or a mask may have cut or rewritten.
    field.setProperty(kBytes, QByteArray(bytes.data(), qsizetype(bytes.size())));
    field.setProperty(kShown, field.text());
}

std::string deviceFieldBytes(const QLineEdit& field) {
    const QVariant shown = field.property(kShown);
    if (!shown.isValid())
        return field.text().toUtf8().toStdString();
    return deviceTextSent(field.text(), shown.toString(), field.property(kBytes).toByteArray().toStdString());
}

} // namespace kvx
