#pragma once

#include "core/transcript.h"

#include <QPlainTextEdit>

namespace kvx {

class TranscriptFile;

// The read-only transcript of every command and reply. It never grows past 500 lines: the append that
// would make it longer empties it instead, the text just appended included. Every echo passes here,
// so the session's whole transcript is kept from here too; emptying the pane leaves it as it is.
class ConsolePane : public QPlainTextEdit, public Transcript {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 500;

    explicit ConsolePane(QWidget* parent = nullptr);

    void append(std::string_view text) override;
    void clear() override;
    int lineCount() const;
    // Null stops the keeping; the file outlives the pane or is taken away first.
    void keepIn(TranscriptFile* file) { m_kept = file; }

private:
    TranscriptFile* m_kept = nullptr;
};

// Wire text as the pane shows it: CR LF and lone CR become line breaks, NUL bytes are dropped.
QString consoleText(std::string_view wire);

} // namespace kvx
