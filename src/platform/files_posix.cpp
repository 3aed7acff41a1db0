#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kvx::platform {
namespace {

SystemError systemError(int code) {
    return {std::strerror(code), code == ELOOP};
}

bool failed(SystemError& error) {
    error = systemError(errno);
    return false;
}

int fdOf(const File& file) {
    return int(file.handle());
}

FileStatus statusFrom(const struct stat& info) {
    FileStatus status;
    status.kind = S_ISREG(info.st_mode)   ? FileKind::regular
                  : S_ISDIR(info.st_mode) ? FileKind::folder
                  : S_ISLNK(info.st_mode) ? FileKind::link
                                          : FileKind::other;
    status.size = info.st_size;
    status.volume = std::uint64_t(info.st_dev);
    status.id = std::uint64_t(info.st_ino);
    status.ownedByUser = info.st_uid == ::geteuid();
    status.owner = std::uint32_t(info.st_uid);
    status.mode = unsigned(info.st_mode & 07777);
    return status;
}

// Read, not set and restored: umask(2) would change it for every thread of kvx100ctl for a moment.
mode_t readUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("Umask:")) {
            errno = 0;
            char* end = nullptr;
            const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
            if (errno == 0 && end != line.c_str() + 6)
                return mode_t(mask);
        }
    }
    return 022;
}

// Neither program changes its umask, so it is read once rather than for every file of a fleet.
mode_t currentUmask() {
    static const mode_t mask = readUmask();
    return mask;
}

File opened(int fd, SystemError& error) {
    if (fd < 0)
        error = systemError(errno);
    return File(fd);
}

} // namespace

File::~File() {
    if (m_handle != kNoFile)
        ::close(int(m_handle));
}

File::File(File&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kNoFile)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_handle != kNoFile)
            ::close(int(m_handle));
        m_handle = std::exchange(other.m_handle, kNoFile);
    }
    return *this;
}

bool File::close(SystemError& error) {
    const int fd = int(std::exchange(m_handle, kNoFile));
    return ::close(fd) == 0 || failed(error);
}

File openForReading(const std::string& path, Links links, SystemError& error) {
    const int noFollow = links == Links::refuse ? O_NOFOLLOW : 0;
    return opened(::open(path.c_str(), O_RDONLY | noFollow | O_NONBLOCK | O_CLOEXEC), error);
}

File openForAppending(const std::string& path, SystemError& error) {
    return opened(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600),
        error);
}

bool statusOf(const File& file, FileStatus& status, SystemError& error) {
    struct stat info {};
    if (::fstat(fdOf(file), &info) != 0)
        return failed(error);
    status = statusFrom(info);
    return true;
}

bool statusAt(const std::string& path, FileStatus& status, SystemError& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        status = statusFrom(info);
        return true;
    }
    if (errno == ENOENT) {
        status = FileStatus{};
        return true;
    }
    return failed(error);
}

std::int64_t readSome(const File& file, char* data, std::size_t size, SystemError& error) {
    for (;;) {
        const ssize_t n = ::read(fdOf(file), data, size);
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = systemError(errno);
            return -1;
        }
    }
}

bool writeAll(const File& file, std::string_view bytes, SystemError& error) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fdOf(file), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = systemError(n == 0 ? EIO : errno);
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool flushToDisk(const File& file, SystemError& error) {
    return ::fsync(fdOf(file)) == 0 || failed(error);
}

File createBeside(const std::string& target, std::string& newPath, SystemError& error) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + '.' + name + ".XXXXXX";
    File file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!file.isOpen()) {
        error = systemError(errno);
        return file;
    }
    // mkostemp creates the file for its owner only; the file gets the mode an ordinary new file would.
    if (::fchmod(fdOf(file), 0666 & ~currentUmask()) != 0) {
        error = systemError(errno);
        file = File();
        ::unlink(pattern.c_str());
        return file;
    }
    newPath = pattern;
    return file;
}

bool replace(const std::string& from, const std::string& to, SystemError& error) {
    return ::rename(from.c_str(), to.c_str()) == 0 || failed(error);
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

bool makePrivateFolder(const std::string& path, SystemError& error) {
    return ::mkdir(path.c_str(), 0700) == 0 || failed(error);
}

} // namespace kvx::platform
