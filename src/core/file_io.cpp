#include "file_io.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kvx {
namespace {

QString failure(const QString& path, const QString& cause) {
    return path + QStringLiteral(": ") + cause;
}

QString systemCause(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes on every path out, so an early return cannot leak the descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // close() reports a write the disk refused late, so it is checked where that matters.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

// Read, not set and restored: umask(2) would change it for every thread of kvx100ctl for a moment.
mode_t readUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask);
            }
        }
    }
    return 022;
}

// Neither program changes its umask, so it is read once rather than for every file of a fleet.
mode_t currentUmask() {
    static const mode_t mask = readUmask();
    return mask;
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString& error) {
    // Opened without blocking, so a FIFO with no writer cannot hold the caller; fstat then refuses it.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        error = failure(path, systemCause(errno));
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        error = failure(path, systemCause(errno));
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = failure(path, QStringLiteral("not a regular file"));
        return std::nullopt;
    }
    const QString tooLarge = failure(path, QStringLiteral("larger than %1 bytes").arg(maxBytes));
    if (info.st_size > maxBytes) {
        error = tooLarge;
        return std::nullopt;
    }
    // The size may change while reading; one byte beyond the bound tells that it grew past it.
    QByteArray data;
    data.resize(qsizetype(maxBytes) + 1);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + filled, std::size_t(data.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = failure(path, systemCause(errno));
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += n;
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
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_newFile.isEmpty())
        ::unlink(m_newFile.constData());
}

bool NewFileBeside::create(QString& error) {
    const QFileInfo target(m_path);
    if (target.isDir() && !target.isSymLink()) {
        error = failure(m_path, QStringLiteral("is a folder"));
        return false;
    }
    QByteArray pattern =
        QFile::encodeName(QDir(target.absolutePath())
                              .filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".XXXXXX")));
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) {
        error = failure(m_path, systemCause(errno));
        return false;
    }
    m_newFile = pattern;
    // mkostemp creates the file for its owner only; the file gets the mode an ordinary new file would.
    if (::fchmod(m_fd, 0666 & ~currentUmask()) != 0) {
        error = failure(m_path, systemCause(errno));
        return false;
    }
    return true;
}

bool NewFileBeside::commit(std::string_view bytes, const QString& name, QString& error) {
    const auto fail = [&](int cause) {
        error = failure(name, systemCause(cause));
        return false;
    };
    if (m_fd < 0)
        return fail(EBADF);
    Descriptor fd(std::exchange(m_fd, -1));
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close())
        return fail(errno);
    if (::rename(m_newFile.constData(), QFile::encodeName(name).constData()) != 0)
        return fail(errno);
    m_newFile.clear();
    return true;
}

} // namespace kvx
