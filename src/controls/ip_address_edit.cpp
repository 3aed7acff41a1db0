#include "controls/ip_address_edit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

namespace kvx {

namespace {

// Up to three digits worth at most 255; anything else is refused as it is typed or pasted.
class OctetValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        if (input.size() > 3)
            return Invalid;
        for (const QChar c : input) {
            if (c < u'0' || c > u'9')
                return Invalid;
        }
        return input.isEmpty() || input.toInt() <= 255 ? Acceptable : Invalid;
    }
};

} // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent)
    : QFrame(parent) {
    // Framed and filled like one line edit, so the four fields read as a single address.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    auto* validator = new OctetValidator(this);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    for (int i = 0; i < kOctetCount; ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("octet%1").arg(i + 1));
        field->setAccessibleName(tr("IP Address %1").arg(i + 1));
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(fieldWidth);
        field->setValidator(validator);
        field->installEventFilter(this);
        connect(field, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
        connect(field, &QLineEdit::textEdited, this, [this, i] { advanceAfterThreeDigits(i); });
        connect(field, &QLineEdit::textChanged, this, &IpAddressEdit::changed);
        layout->addWidget(field);
        m_fields[static_cast<std::size_t>(i)] = field;
    }
    layout->addStretch();
    setFocusProxy(m_fields[0]);
}

int IpAddressEdit::filledCount() const {
    int filled = 0;
    for (const QLineEdit* field : m_fields)
        filled += field->text().isEmpty() ? 0 : 1;
    return filled;
}

IpAddressEdit::Octets IpAddressEdit::octets() const {
    Octets values;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i]->text().isEmpty())
            values[i] = m_fields[i]->text().toInt();
    }
    return values;
}

bool IpAddressEdit::setOctets(const Octets& octets) {
    bool allInRange = true;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const bool inRange = octets[i] && *octets[i] >= 0 && *octets[i] <= 255;
        allInRange = allInRange && (inRange || !octets[i]);
        m_fields[i]->setText(inRange ? QString::number(*octets[i]) : QString());
    }
    return allInRange;
}

void IpAddressEdit::clear() {
    for (QLineEdit* field : m_fields)
        field->clear();
}

QString IpAddressEdit::text() const {
    const Octets values = octets();
    for (const std::optional<int>& value : values) {
        if (!value)
            return {};
    }
    return QStringLiteral("%1.%2.%3.%4").arg(*values[0]).arg(*values[1]).arg(*values[2]).arg(*values[3]);
}

int IpAddressEdit::fieldIndex(const QObject* field) const {
    for (int i = 0; i < kOctetCount; ++i) {
        if (m_fields[static_cast<std::size_t>(i)] == field)
            return i;
    }
    return -1;
}

void IpAddressEdit::enterField(int index, int caret) {
    QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    field->setFocus(Qt::OtherFocusReason);
    if (caret < 0)
        field->selectAll();
    else
        field->setCursorPosition(caret);
}

void IpAddressEdit::advanceAfterThreeDigits(int index) {
    const QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    if (index + 1 < kOctetCount && field->text().size() == 3 && field->cursorPosition() == 3)
        enterField(index + 1, -1);
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    const int index = fieldIndex(watched);
    if (index < 0 || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    const bool plain = !(key->modifiers() & ~Qt::KeypadModifier);
    if (key->text() == QStringLiteral(".")) {
        if (index + 1 < kOctetCount && !field->text().isEmpty())
            enterField(index + 1, -1);
        return true;
    }
    if (plain && index > 0 && atStart && (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Left)) {
        enterField(index - 1, static_cast<int>(m_fields[static_cast<std::size_t>(index - 1)]->text().size()));
        return true;
    }
    if (plain && index + 1 < kOctetCount && atEnd && key->key() == Qt::Key_Right) {
        enterField(index + 1, 0);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kvx
