#include "transcript_file.h"

#include "platform/files.h"
#include "platform/process.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace kvx {
namespace {

// Stands where the oldest lines of a long session were let go.
constexpr std::string_view kDropped = "[earlier lines dropped]\n";

QString systemCause(const platform::SystemError& error) {
    if (error.isLink)
        return QStringLiteral("is a link, which is not followed");
    return QString::fromStdString(error.text);
}

// The seam takes UTF-8 everywhere: the bytes of QFile::encodeName() on POSIX, what Windows turns into
// UTF-16 itself.
std::string nativePath(const QString& path) {
    return path.toStdString();
}

} // namespace

QString defaultTranscriptFolder() {
    const std::string state = platform::userStateFolder();
    return (state.empty() ? QDir::homePath() : QString::fromStdString(state)) +
           QStringLiteral("/kvx100-manager");
}

std::string transcriptText(std::string_view wire) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(wire.size());
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const auto c = static_cast<unsigned char>(wire[i]);
        if (c == '\r') {
            if (i + 1 < wire.size() && wire[i + 1] == '\n')
                continue;
            text += '\n';
        } else if (c == '\0') {
            continue;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 0xF];
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

TranscriptFile::TranscriptFile(QString folder, Limits limits)
    : m_folder(std::move(folder))
    , m_limits(limits) {}

TranscriptFile::~TranscriptFile() {
    closeFile();
}

QString TranscriptFile::path() const {
    return m_folder.isEmpty() ? QString() : m_folder + u'/' + QLatin1String(kFileName);
}

bool TranscriptFile::open() {
    if (m_folder.isEmpty()) {
        m_error = QStringLiteral("no folder for the transcript");
        return false;
    }
    const QDir folder(m_folder);
    // Only the user reads what the device said (PIN codes included): the folder of our own is private.
    if (!folder.exists()) {
        platform::SystemError cause;
        const bool parentMade = QDir().mkpath(QFileInfo(m_folder).absolutePath());
        if (!parentMade)
            cause.text = std::strerror(errno);
        if (!parentMade || !platform::makePrivateFolder(nativePath(m_folder), cause)) {
            fail(systemCause(cause));
            return false;
        }
    }
    if (!openCurrent())
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    append("==== " + now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString() +
           " ====\n");
    return isWriting();
}

bool TranscriptFile::openCurrent() {
    platform::SystemError cause;
    // Without blocking, so that a FIFO put in the file's place cannot hold the program.
    platform::File file = platform::openForAppending(nativePath(path()), cause);
    if (!file.isOpen()) {
        fail(systemCause(cause));
        return false;
    }
    platform::FileStatus info;
    if (!platform::statusOf(file, info, cause) || info.kind != platform::FileKind::regular ||
        !info.ownedByUser) {
        fail(QStringLiteral("not a regular file of this user"));
        return false;
    }
    m_file = std::move(file);
    m_size = info.size;
    m_volume = info.volume;
    m_id = info.id;
    return true;
}

bool TranscriptFile::rotate() {
    const std::string current = nativePath(path());
    platform::FileStatus info;
    platform::SystemError cause;
    // Another run may have rotated the file already; its new file is then the one to go on with.
    const bool ours = platform::statusAt(current, info, cause) && info.kind != platform::FileKind::missing &&
                      info.volume == m_volume && info.id == m_id;
    closeFile();
    if (ours && !platform::replace(current, current + ".1", cause)) {
        fail(systemCause(cause));
        return false;
    }
    return openCurrent();
}

void TranscriptFile::append(std::string_view wire) {
    if (wire.empty())
        return;
    const std::string text = transcriptText(wire);
    m_session += text;
    if (m_session.size() > m_limits.sessionBytes) {
        // Half the bound goes at once, so that a long session does not move its whole text every line.
        std::size_t from = m_session.find('\n', m_session.size() - m_limits.sessionBytes / 2);
        from = from == std::string::npos ? m_session.size() : from + 1;
        m_session.replace(0, from, kDropped);
    }
    writeFile(text);
}

void TranscriptFile::writeFile(std::string_view text) {
    if (!m_file.isOpen())
        return;
    // One reply can be larger than a whole file; its start is what the file keeps of it.
    text = text.substr(0, std::size_t(m_limits.rotateAt));
    if (m_size > 0 && m_size + qint64(text.size()) > m_limits.rotateAt && !rotate())
        return;
    platform::SystemError cause;
    if (!platform::writeAll(m_file, text, cause)) {
        fail(systemCause(cause));
        return;
    }
    m_size += qint64(text.size());
}

void TranscriptFile::fail(const QString& cause) {
    closeFile();
    m_error = (m_folder.isEmpty() ? QString() : path() + QStringLiteral(": ")) + cause;
}

void TranscriptFile::closeFile() {
    m_file = platform::File();
}

} // namespace kvx
