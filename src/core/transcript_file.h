#pragma once

#include "platform/files.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvx {

struct TranscriptLimits {
    // The current file is rotated before it would pass this many bytes.
    qint64 rotateAt = qint64(1) << 20;
    // The session kept in memory; past it the oldest lines go.
    std::size_t sessionBytes = std::size_t(8) << 20;
};

// The whole session's traffic, kept past the console pane's 500 lines: in memory for "Save
// Transcript...", and appended as it comes to transcript.log in a folder of the user's, so that a
// session that ended badly can still be read. The file is rotated by size (one previous file kept as
// transcript.log.1), opened only as a regular file of the user's own and never through a link, and a
// file that cannot be written is given up with an error rather than retried on every line.
class TranscriptFile {
public:
    using Limits = TranscriptLimits;

    static constexpr std::string_view kFileName = "transcript.log";

    // An empty folder keeps the session in memory only.
    explicit TranscriptFile(QString folder, Limits limits = {});
    ~TranscriptFile();
    TranscriptFile(const TranscriptFile&) = delete;
    TranscriptFile& operator=(const TranscriptFile&) = delete;

    // Creates the folder when missing and opens the file for appending, starting the session with a
    // line that gives the time. False, with error(), when the file cannot be kept.
    bool open();
    // Wire text as the console pane receives it; the password is already masked by then.
    void append(std::string_view wire);

    // The session so far, as written to the file.
    const std::string& session() const { return m_session; }
    bool isWriting() const { return m_file.isOpen(); }
    QString path() const;
    // Why the file is not (or no longer) written; names the path.
    const QString& error() const { return m_error; }

private:
    bool openCurrent();
    bool rotate();
    void writeFile(std::string_view text);
    void fail(const QString& cause);
    void closeFile();

    QString m_folder;
    Limits m_limits;
    platform::File m_file;
    qint64 m_size = 0;
    // The file this object writes, to tell it from one that another run put in its place.
    std::uint64_t m_volume = 0;
    std::uint64_t m_id = 0;
    std::string m_session;
    QString m_error;
};

// Where the transcript is kept by default: kvx100-manager in the user's state folder ($XDG_STATE_HOME,
// or ~/.local/state where it is not set).
QString defaultTranscriptFolder();

// Wire text as the file holds it: line ends made LF and NUL bytes dropped, as the console pane shows
// them; other control bytes written as \xNN, so that a device's text cannot drive the terminal in
// which the file is read.
std::string transcriptText(std::string_view wire);

} // namespace kvx
