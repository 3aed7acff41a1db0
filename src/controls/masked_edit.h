#pragma once

#include "controls/masked_edit_model.h"

#include <QClipboard>
#include <QLineEdit>
#include <utility>

namespace kvx {

// The pattern of a Bluetooth address: six pairs of printable characters joined by ":". The ":" are
// literals, not the locale's time separator, because the device writes and reads addresses only in
// that form and the windows send what the field shows.
QString bdAddressMask();
// The positions of that pattern; the first empty input position reaches it once the address is complete.
constexpr int kBdAddressLength = 17;

// A line edit that shows a fixed pattern of input positions and literal characters, for example
// "##:##" for a time. Mask characters:
//   "." "," ":" "/"  the locale's decimal point, group, time and date separators
//   "#" digit, "A" letter or digit, "?" letter, ">" letter in upper case, "<" letter in lower case,
//   "&" any character from 32 to 126
//   "\x" the character x itself; a backslash that ends the mask shows a backslash
//   anything else is shown as itself.
// Without a mask it is a plain line edit; while read-only the operator's keys, clicks and menu are the
// plain read-only ones.
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedEdit(const QString& mask = {}, QWidget* parent = nullptr);

    // Empties every input position and places the caret on the first one.
    void setMask(const QString& mask);
    QChar promptChar() const { return QChar(m_model.prompt()); }
    // NUL, LF, CR and DEL are refused (the text is still rewritten).
    void setPromptChar(QChar prompt);
    bool insertMode() const { return m_model.insertMode(); }

    // The input positions, empty ones as the prompt character; the window text without a mask.
    QString inputData() const;
    // Refills the input positions after the first `start` from `text`, skipping characters that no
    // position takes; false when one was skipped. Does nothing without a mask.
    bool writeInputData(const QString& text, int start = 0, bool keepPrompts = true);
    // The first input position at or after `from` that shows the prompt; the pattern's length when none.
    int firstEmptyInputPosition(int from = 0) const { return m_model.firstEmptyInputPosition(from); }
    bool isEveryInputEmpty() const;

public Q_SLOTS:
    // These hide QLineEdit's own so that the windows' text goes through the mask: either the display
    // form or the bare input characters may be given. No change notice is sent for it.
    void setText(const QString& text);
    void clear() { setText({}); }

Q_SIGNALS:
    // After every rewrite of the display text by the control.
    void editUpdated();
    // After every rewrite except those of setText().
    void editChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool masked() const { return m_model.hasMask() && !isReadOnly(); }
    std::pair<int, int> selection() const;
    void apply(const EditOutcome& outcome);
    void rewrite(int caret = -1);
    void typeText(const QString& text);
    void pasteFrom(QClipboard::Mode mode);
    void cutOrClear(bool toClipboard);
    void moveThenAdjust(QKeyEvent* event, bool forward);
    void plainKey(QKeyEvent* event);

    MaskedEditModel m_model;
    bool m_changeNotice = true;
    bool m_enteredByClick = false;
};

} // namespace kvx
