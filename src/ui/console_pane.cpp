#include "console_pane.h"

#include "core/qt_text.h"
#include "core/transcript_file.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace kvx {

QString consoleText(std::string_view wire) {
    std::string text;
    text.reserve(wire.size());
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const char c = wire[i];
        if (c == '\r') {
            if (i + 1 < wire.size() && wire[i + 1] == '\n')
                continue;
            text += '\n';
        } else if (c != '\0') {
            text += c;
        }
    }
    return fromStd(text);
}

ConsolePane::ConsolePane(QWidget* parent)
    : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("console"));
    setAccessibleName(tr("Console"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void ConsolePane::append(std::string_view text) {
    if (text.empty())
        return;
    if (m_kept)
        m_kept->append(text);
    moveCursor(QTextCursor::End);
    insertPlainText(consoleText(text));
    if (lineCount() > kMaxLines)
        clear();
    else
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ConsolePane::clear() {
    QPlainTextEdit::clear();
    moveCursor(QTextCursor::End);
}

// Counted as an edit control counts them: a trailing line break opens one more (empty) line.
int ConsolePane::lineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

} // namespace kvx
