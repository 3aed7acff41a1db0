#include "transcript_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {
namespace {

// Stands where the oldest lines of a long session were let go.
constexpr std::string_view kDropped = "[earlier lines dropped]\n";

QString systemCause(int error) {
    if (error == ELOOP)
        return QStringLiteral("is a link, which is not followed");
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString defaultTranscriptFolder() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericStateLocation);
#else
    // A relative value is to be ignored, as the base directory rules say.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return state + QStringLiteral("/kvx100-manager");
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
    if (!folder.exists() && (!QDir().mkpath(QFileInfo(m_folder).absolutePath()) ||
                             ::mkdir(QFile::encodeName(m_folder).constData(), 0700) != 0)) {
        fail(systemCause(errno));
        return false;
    }
    if (!openCurrent())
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    append("==== " + now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString() +
           " ====\n");
    return isWriting();
}

bool TranscriptFile::openCurrent() {
    // Without blocking, so that a FIFO put in the file's place cannot hold the program.
    const int fd = ::open(QFile::encodeName(path()).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(systemCause(errno));
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        fail(QStringLiteral("not a regular file of this user"));
        return false;
    }
    m_fd = fd;
    m_size = info.st_size;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    return true;
}

bool TranscriptFile::rotate() {
    const QByteArray current = QFile::encodeName(path());
    struct stat info {};
    // Another run may have rotated the file already; its new file is then the one to go on with.
    const bool ours =
        ::lstat(current.constData(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode;
    closeFile();
    if (ours && ::rename(current.constData(), (current + ".1").constData()) != 0) {
        fail(systemCause(errno));
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
    if (m_fd < 0)
        return;
    // One reply can be larger than a whole file; its start is what the file keeps of it.
    text = text.substr(0, std::size_t(m_limits.rotateAt));
    if (m_size > 0 && m_size + qint64(text.size()) > m_limits.rotateAt && !rotate())
        return;
    while (!text.empty()) {
        const ssize_t n = ::write(m_fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(systemCause(n == 0 ? EIO : errno));
            return;
        }
        text.remove_prefix(std::size_t(n));
        m_size += n;
    }
}

void TranscriptFile::fail(const QString& cause) {
    closeFile();
    m_error = (m_folder.isEmpty() ? QString() : path() + QStringLiteral(": ")) + cause;
}

void TranscriptFile::closeFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kvx
