#pragma once

#include <QLineEdit>
#include <algorithm>

namespace kvx {

// Puts a table row's port into an editor field whose limit is meant for typing only. Qt cuts a text at
// the field's limit, and a port shown cut would be sent back as another port although nobody changed
// it; so the limit grows to hold the row's port whole.
inline void showPortLimitedForTyping(QLineEdit* field, const QString& port, int typingLimit) {
    field->setMaxLength(std::max(typingLimit, static_cast<int>(port.size())));
    field->setText(port);
}

} // namespace kvx
