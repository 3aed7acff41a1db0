#include "file_io.h"

#include "platform/files.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <utility>

namespace kvx {
namespace {

QString failure(const QString& path, const QString& cause) {
    return path + QStringLiteral(": ") + cause;
}

QString systemCause(const platform::SystemError& error) {
    return QString::fromStdString(error.text);
}

// The seam takes UTF-8 everywhere: the bytes of QFile::encodeName() on POSIX, what Windows turns into
// UTF-16 itself.
std::string nativePath(const QString& path) {
    return path.toStdString();
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString& error) {
    platform::SystemError cause;
    // Opened without blocking, so a FIFO with no writer cannot hold the caller; its status then refuses it.
    const platform::File file = platform::openForReading(nativePath(path), platform::Links::follow, cause);
    platform::FileStatus info;
    if (!file.isOpen() || !platform::statusOf(file, info, cause)) {
        error = failure(path, systemCause(cause));
        return std::nullopt;
    }
    if (info.kind != platform::FileKind::regular) {
        error = failure(path, QStringLiteral("not a regular file"));
        return std::nullopt;
    }
    const QString tooLarge = failure(path, QStringLiteral("larger than %1 bytes").arg(maxBytes));
    if (info.size > maxBytes) {
        error = tooLarge;
        return std::nullopt;
    }
    // The size may change while reading; one byte beyond the bound tells that it grew past it.
    QByteArray data;
    data.resize(qsizetype(maxBytes) + 1);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const std::int64_t n =
            platform::readSome(file, data.data() + filled, std::size_t(data.size() - filled), cause);
        if (n < 0) {
            error = failure(path, systemCause(cause));
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += qsizetype(n);
    }
    if (filled > maxBytes) {
        error = tooLarge;
        return std::nullopt;
    }
    data.truncate(filled);
    return data;
}

bool replaceFile(const QString& path, std::string_view bytes, QString& error) {
    NewFileBeside file(path);
    return file.create(error) && file.commit(bytes, path, error);
}

NewFileBeside::NewFileBeside(QString path)
    : m_path(std::move(path)) {}

NewFileBeside::~NewFileBeside() {
    m_file = platform::File();
    if (!m_newFile.empty())
        platform::removeFile(m_newFile);
}

bool NewFileBeside::create(QString& error) {
    const QFileInfo target(m_path);
    if (target.isDir() && !target.isSymLink()) {
        error = failure(m_path, QStringLiteral("is a folder"));
        return false;
    }
    platform::SystemError cause;
    m_file = platform::createBeside(nativePath(target.absolutePath() + u'/' + target.fileName()), m_newFile,
                                    cause);
    if (!m_file.isOpen()) {
        error = failure(m_path, systemCause(cause));
        return false;
    }
    return true;
}

bool NewFileBeside::commit(std::string_view bytes, const QString& name, QString& error) {
    platform::SystemError cause;
    if (!m_file.isOpen())
        cause.text = std::strerror(EBADF);
    else if (platform::File file = std::move(m_file);
             platform::writeAll(file, bytes, cause) && platform::flushToDisk(file, cause) &&
             file.close(cause) && platform::replace(m_newFile, nativePath(name), cause)) {
        m_newFile.clear();
        return true;
    }
    error = failure(name, systemCause(cause));
    return false;
}

} // namespace kvx
