#pragma once

#include <string>
#include <string_view>

class QLineEdit;

// The fields of the windows that show a text read from the device and send it back with Apply or OK
// (see core/device_text.h): each remembers the bytes it was filled with.
namespace kvx {

// Fills `field` with the text shown for `bytes` and remembers them.
void showDeviceText(QLineEdit& field, std::string_view bytes);
// For a field that fills itself in its own way (a masked edit): remembers `bytes` as what it shows now.
void rememberDeviceText(QLineEdit& field, std::string_view bytes);
// What goes to the device for `field`: the remembered bytes while it still shows them, otherwise its
// text as UTF-8 (also for a field never filled from the device).
std::string deviceFieldBytes(const QLineEdit& field);

} // namespace kvx
