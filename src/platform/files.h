#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Files as the manager, kvx100ctl and the simulator need them: opened without following a link where
// the caller says so, without blocking on a FIFO, checked for what they are, written whole, flushed to
// the disk and moved over another name in one step. Paths are UTF-8 (on POSIX the bytes the file
// system takes). Failures come back as a SystemError, never as an exception.
namespace kvx::platform {

// Why a call failed, in the system's own words.
struct SystemError {
    std::string text;
    // The path is a link (or, on Windows, another reparse point) and was not followed.
    bool isLink = false;
};

// A descriptor on POSIX, a HANDLE on Windows; both use -1 for none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Closes on every path out, so that an early return cannot leak it.
class File {
public:
    File() = default;
    explicit File(FileHandle handle)
        : m_handle(handle) {}
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return m_handle != kNoFile; }
    FileHandle handle() const { return m_handle; }
    // A write the disk refused late is told by the close, so it is checked where that matters.
    bool close(SystemError& error);

private:
    FileHandle m_handle = kNoFile;
};

enum class FileKind { missing, regular, folder, link, other };

struct FileStatus {
    FileKind kind = FileKind::missing;
    std::int64_t size = 0;
    // Together they name the file itself, whatever name it has now.
    std::uint64_t volume = 0;
    std::uint64_t id = 0;
    // POSIX only: the owner and the permission bits. On Windows the file counts as the user's own, with
    // mode 0600 (a user's profile folders are private already).
    bool ownedByUser = true;
    std::uint32_t owner = 0;
    unsigned mode = 0600;
};

enum class Links { follow, refuse };

// For reading; never blocks on a FIFO without a writer.
File openForReading(const std::string& path, Links links, SystemError& error);
// For appending, created for the user alone (0600) when missing; a link is refused.
File openForAppending(const std::string& path, SystemError& error);

// What an open file is.
bool statusOf(const File& file, FileStatus& status, SystemError& error);
// What stands at `path`, a link itself rather than what it points to; a missing path is a status, not
// an error.
bool statusAt(const std::string& path, FileStatus& status, SystemError& error);

// Up to `size` bytes; 0 at the end, -1 on failure. An interrupted read is retried.
std::int64_t readSome(const File& file, char* data, std::size_t size, SystemError& error);
// All of `bytes`, or false.
bool writeAll(const File& file, std::string_view bytes, SystemError& error);
// Returns once the bytes are on the disk.
bool flushToDisk(const File& file, SystemError& error);

// A new file, created exclusively in the folder of `target` (the part up to its last separator) under
// a name of its own, told in `newPath`, with the mode an ordinary new file gets. Nothing is left behind
// when it fails.
File createBeside(const std::string& target, std::string& newPath, SystemError& error);
// Moves `from` over `to` in one step, replacing what stands there (on Windows written through to the
// disk). On POSIX a link at `to` is replaced; on Windows it is refused (isLink).
bool replace(const std::string& from, const std::string& to, SystemError& error);
// Best effort; for cleaning up a file that was not committed.
void removeFile(const std::string& path);
// One folder (its parent exists), for the user alone (0700 on POSIX).
bool makePrivateFolder(const std::string& path, SystemError& error);

} // namespace kvx::platform
