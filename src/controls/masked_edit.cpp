#include "controls/masked_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

namespace kvx {

namespace {

bool qtDigit(char16_t c) {
    return QChar(c).isDigit();
}
bool qtLetter(char16_t c) {
    return QChar(c).isLetter();
}
char16_t qtUpper(char16_t c) {
    return QChar(c).toUpper().unicode();
}
char16_t qtLower(char16_t c) {
    return QChar(c).toLower().unicode();
}

char16_t firstCharacter(const QString& text, char16_t fallback) {
    return text.isEmpty() || text.front().isSurrogate() ? fallback : text.front().unicode();
}

// The character right after the first field of a time or date format ("H.mm" gives "."), when it is
// punctuation; formats such as "HH'h'mm" or "d MMM yyyy" have none.
char16_t separatorAfterField(const QString& format, QStringView fieldLetters, char16_t fallback) {
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (!fieldLetters.contains(format[i]))
            continue;
        qsizetype after = i;
        while (after < format.size() && format[after] == format[i])
            ++after;
        if (after == format.size())
            return fallback;
        const QChar c = format[after];
        return c.isLetterOrNumber() || c.isSpace() || c.isSurrogate() || c == u'\'' ? fallback : c.unicode();
    }
    return fallback;
}

MaskSeparators separatorsFrom(const QLocale& locale) {
    const MaskSeparators fallback;
    return {firstCharacter(locale.decimalPoint(), fallback.decimalPoint),
            firstCharacter(locale.groupSeparator(), fallback.groupSeparator),
            separatorAfterField(locale.timeFormat(QLocale::ShortFormat), u"hH", fallback.timeSeparator),
            separatorAfterField(locale.dateFormat(QLocale::ShortFormat), u"dMy", fallback.dateSeparator)};
}

std::u16string toModel(const QString& text) {
    return text.toStdU16String();
}
QString fromModel(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// Ctrl and Meta make shortcuts rather than characters, except Ctrl with Alt, which is AltGr on some systems.
bool typesText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || text.front().unicode() < 32)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return !(modifiers & (Qt::ControlModifier | Qt::MetaModifier)) || (modifiers & Qt::AltModifier);
}

} // namespace

QString bdAddressMask() {
    return QStringLiteral("&&\\:&&\\:&&\\:&&\\:&&\\:&&");
}

MaskedEdit::MaskedEdit(const QString& mask, QWidget* parent)
    : QLineEdit(parent)
    , m_model(MaskLocale{separatorsFrom(locale()), {qtDigit, qtLetter, qtUpper, qtLower}}) {
    setMask(mask);
}

void MaskedEdit::setMask(const QString& mask) {
    m_model.setMask(toModel(mask));
    // A drop would put its text into the window behind the pattern's back.
    setAcceptDrops(!m_model.hasMask());
    rewrite(m_model.nextInputPosition(0));
}

void MaskedEdit::setPromptChar(QChar prompt) {
    m_model.setPrompt(prompt.unicode());
    if (m_model.hasMask())
        rewrite();
}

QString MaskedEdit::inputData() const {
    return m_model.hasMask() ? fromModel(m_model.inputData()) : text();
}

bool MaskedEdit::writeInputData(const QString& text, int start, bool keepPrompts) {
    if (!m_model.hasMask())
        return true;
    const bool complete = m_model.writeInputData(toModel(text), start, keepPrompts);
    rewrite(m_model.nextInputPosition(0));
    return complete;
}

bool MaskedEdit::isEveryInputEmpty() const {
    return m_model.hasMask() ? m_model.allInputEmpty() : text().isEmpty();
}

void MaskedEdit::setText(const QString& text) {
    if (!m_model.hasMask()) {
        QLineEdit::setText(text);
        return;
    }
    m_changeNotice = false;
    m_model.assignText(toModel(text));
    rewrite(m_model.nextInputPosition(0));
    m_changeNotice = true;
}

std::pair<int, int> MaskedEdit::selection() const {
    if (hasSelectedText())
        return {selectionStart(), selectionEnd()};
    return {cursorPosition(), cursorPosition()};
}

void MaskedEdit::apply(const EditOutcome& outcome) {
    if (outcome.rewrite)
        rewrite(outcome.caret);
    else if (outcome.caret >= 0)
        setCursorPosition(outcome.caret);
    if (outcome.beep)
        QApplication::beep();
}

void MaskedEdit::rewrite(int caret) {
    const int kept = cursorPosition();
    QLineEdit::setText(fromModel(m_model.displayText()));
    setCursorPosition(caret >= 0 ? caret : kept);
    Q_EMIT editUpdated();
    if (m_changeNotice)
        Q_EMIT editChanged();
}

void MaskedEdit::keyPressEvent(QKeyEvent* event) {
    if (!masked()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->matches(QKeySequence::Cut)) {
        cutOrClear(true);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteFrom(QClipboard::Clipboard);
        return;
    }
    const auto [start, end] = selection();
    switch (event->key()) {
    case Qt::Key_Delete:
        apply(m_model.deleteKey(start, end));
        return;
    case Qt::Key_Backspace:
        apply(m_model.backspace(start, end));
        return;
    case Qt::Key_Insert:
        if (event->matches(QKeySequence::Copy))
            break;
        m_model.toggleInsertMode();
        return;
    case Qt::Key_Home:
    case Qt::Key_Right:
    case Qt::Key_Down:
        moveThenAdjust(event, true);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        moveThenAdjust(event, false);
        return;
    default:
        break;
    }
    if (typesText(event))
        typeText(event->text());
    else
        plainKey(event);
}

void MaskedEdit::moveThenAdjust(QKeyEvent* event, bool forward) {
    // On a single line Down and Up move the caret as Right and Left do.
    int key = event->key();
    if (key == Qt::Key_Down)
        key = Qt::Key_Right;
    else if (key == Qt::Key_Up)
        key = Qt::Key_Left;
    QKeyEvent move(QEvent::KeyPress, key, event->modifiers());
    QLineEdit::keyPressEvent(&move);
    if (event->modifiers() & Qt::ShiftModifier)
        return;
    const int at = cursorPosition();
    setCursorPosition(forward ? m_model.nextInputPosition(at) : m_model.previousInputPosition(at));
}

void MaskedEdit::plainKey(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    // Keys that edit on their own (undo, delete to the end of the line and the like) would leave the
    // window showing something other than the pattern; their edit is taken back.
    if (text() != fromModel(m_model.displayText()))
        rewrite();
}

void MaskedEdit::typeText(const QString& text) {
    for (const QChar c : text) {
        const auto [start, end] = selection();
        apply(m_model.typeCharacter(c.unicode(), start, end));
    }
}

void MaskedEdit::pasteFrom(QClipboard::Mode mode) {
    const auto [start, end] = selection();
    apply(m_model.paste(toModel(QGuiApplication::clipboard()->text(mode)), start, end));
}

void MaskedEdit::cutOrClear(bool toClipboard) {
    // The selection reaches the clipboard before it is deleted, or a cut would lose it.
    if (toClipboard && hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
    const auto [start, end] = selection();
    apply(m_model.cutSelection(start, end));
}

void MaskedEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!masked()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Composed characters are typed one by one like keys; a composition still in progress is not shown.
    typeText(event->commitString());
    event->accept();
}

void MaskedEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!masked())
        return;
    m_enteredByClick = event->reason() == Qt::MouseFocusReason && m_model.allInputEmpty();
    // Entering with Tab selects everything; the caret waits on the first input position instead.
    if (hasSelectedText() && selectionStart() == 0 && selectionLength() == text().size())
        setCursorPosition(m_model.nextInputPosition(0));
}

void MaskedEdit::focusOutEvent(QFocusEvent* event) {
    m_enteredByClick = false;
    QLineEdit::focusOutEvent(event);
}

void MaskedEdit::mousePressEvent(QMouseEvent* event) {
    // The click that brought the focus to an empty field starts it at the beginning, wherever it landed.
    if (std::exchange(m_enteredByClick, false) && masked() && event->button() == Qt::LeftButton) {
        setCursorPosition(m_model.nextInputPosition(0));
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void MaskedEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (masked() && event->button() == Qt::MiddleButton &&
        QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void MaskedEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (!masked()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The standard menu edits the window text directly; this one goes through the pattern.
    QMenu menu(this);
    const bool selected = hasSelectedText();
    menu.addAction(tr("Cu&t"), this, [this] { cutOrClear(true); })->setEnabled(selected);
    menu.addAction(tr("&Copy"), this, &QLineEdit::copy)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, [this] { pasteFrom(QClipboard::Clipboard); })
        ->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    menu.addAction(tr("Delete"), this, [this] { cutOrClear(false); })->setEnabled(selected);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &QLineEdit::selectAll);
    menu.exec(event->globalPos());
}

void MaskedEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange && m_model.setSeparators(separatorsFrom(locale())))
        rewrite();
    QLineEdit::changeEvent(event);
}

} // namespace kvx
