#pragma once

#include "core/transcript.h"

#include <QPlainTextEdit>

namespace kvx {

// The read-only transcript of every command and reply. It never grows past 500 lines: the append that
// would make it longer empties it instead, the text just appended included.
class ConsolePane : public QPlainTextEdit, public Transcript {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 500;

    explicit ConsolePane(QWidget* parent = nullptr);

    void append(std::string_view text) override;
    void clear() override;
    int lineCount() const;
};

// Wire text as the pane shows it: CR LF and lone CR become line breaks, NUL bytes are dropped.
QString consoleText(std::string_view wire);

} // namespace kvx
