#include "platform/files.h"
#include "platform/windows_text.h"

#include <algorithm>
#include <random>
#include <utility>

namespace kvx::platform {
namespace {

using windows::wide;

constexpr char kLinkText[] = "a link, which is not followed";
// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kMaxPiece = std::size_t(1) << 30;

HANDLE handleOf(const File& file) {
    return reinterpret_cast<HANDLE>(file.handle());
}

SystemError systemError(DWORD code = ::GetLastError()) {
    return {windows::errorText(code), false};
}

SystemError linkRefused() {
    return {kLinkText, true};
}

bool failed(SystemError& error) {
    error = systemError();
    return false;
}

File opened(HANDLE handle, SystemError& error) {
    if (handle == INVALID_HANDLE_VALUE)
        error = systemError();
    return File(reinterpret_cast<FileHandle>(handle));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool isReparsePoint(const File& file) {
    FILE_BASIC_INFO info{};
    return ::GetFileInformationByHandleEx(handleOf(file), FileBasicInfo, &info, sizeof info) &&
           (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Opened on the link itself when `links` refuses them; a link then gives no file.
File openChecked(const std::string& path, DWORD access, DWORD disposition, Links links, SystemError& error) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (links == Links::refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    File file = opened(::CreateFileW(wide(path).c_str(), access, kShareAll, nullptr, disposition,
                                     FILE_ATTRIBUTE_NORMAL | flags, nullptr),
                       error);
    if (file.isOpen() && links == Links::refuse && isReparsePoint(file)) {
        error = linkRefused();
        return File();
    }
    return file;
}

// The folder part of `target`, up to and with its last separator, and the name after it.
std::pair<std::string, std::string> split(const std::string& target) {
    const std::size_t slash = target.find_last_of("/\\");
    if (slash == std::string::npos)
        return {std::string(), target};
    return {target.substr(0, slash + 1), target.substr(slash + 1)};
}

} // namespace

File::~File() {
    if (m_handle != kNoFile)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

File::File(File&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kNoFile)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_handle != kNoFile)
            ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
        m_handle = std::exchange(other.m_handle, kNoFile);
    }
    return *this;
}

bool File::close(SystemError& error) {
    const HANDLE handle = reinterpret_cast<HANDLE>(std::exchange(m_handle, kNoFile));
    return ::CloseHandle(handle) || failed(error);
}

File openForReading(const std::string& path, Links links, SystemError& error) {
    return openChecked(path, GENERIC_READ, OPEN_EXISTING, links, error);
}

File openForAppending(const std::string& path, SystemError& error) {
    // Appending only, so that every write lands at the end even when another run appends too.
    return openChecked(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, OPEN_ALWAYS,
                       Links::refuse, error);
}

bool statusOf(const File& file, FileStatus& status, SystemError& error) {
    status = FileStatus{};
    // A console, the NUL device or a pipe tell nothing more, and some refuse to.
    if (::GetFileType(handleOf(file)) != FILE_TYPE_DISK) {
        status.kind = FileKind::other;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(file), &info))
        return failed(error);
    const DWORD attributes = info.dwFileAttributes;
    status.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? FileKind::link
                  : (attributes & FILE_ATTRIBUTE_DIRECTORY)   ? FileKind::folder
                                                              : FileKind::regular;
    status.size = (std::int64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.volume = info.dwVolumeSerialNumber;
    status.id = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool statusAt(const std::string& path, FileStatus& status, SystemError& error) {
    const File file(reinterpret_cast<FileHandle>(
        ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    if (file.isOpen())
        return statusOf(file, status, error);
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        status = FileStatus{};
        return true;
    }
    error = systemError(code);
    return false;
}

std::int64_t readSome(const File& file, char* data, std::size_t size, SystemError& error) {
    DWORD n = 0;
    if (::ReadFile(handleOf(file), data, DWORD(std::min(size, kMaxPiece)), &n, nullptr))
        return n;
    const DWORD code = ::GetLastError();
    if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE)
        return 0;
    error = systemError(code);
    return -1;
}

bool writeAll(const File& file, std::string_view bytes, SystemError& error) {
    while (!bytes.empty()) {
        DWORD n = 0;
        if (!::WriteFile(handleOf(file), bytes.data(), DWORD(std::min(bytes.size(), kMaxPiece)), &n, nullptr))
            return failed(error);
        if (n == 0) {
            error = systemError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(n);
    }
    return true;
}

bool flushToDisk(const File& file, SystemError& error) {
    return ::FlushFileBuffers(handleOf(file)) || failed(error);
}

File createBeside(const std::string& target, std::string& newPath, SystemError& error) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const auto [folder, name] = split(target);
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    // A name another program took meanwhile is passed over, as mkostemp does.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = folder + '.' + name + '.';
        for (int i = 0; i < 6; ++i)
            path += kLetters[pick(random)];
        const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            newPath = std::move(path);
            return File(reinterpret_cast<FileHandle>(handle));
        }
        const DWORD code = ::GetLastError();
        error = systemError(code);
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
            break;
    }
    return File();
}

bool replace(const std::string& from, const std::string& to, SystemError& error) {
    const std::wstring target = wide(to);
    // A link (or junction) standing at the target is refused rather than replaced, so that what the
    // user named is never a link that the program quietly took away.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        error = linkRefused();
        return false;
    }
    return ::MoveFileExW(wide(from).c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           failed(error);
}

void removeFile(const std::string& path) {
    ::DeleteFileW(wide(path).c_str());
}

bool makePrivateFolder(const std::string& path, SystemError& error) {
    return ::CreateDirectoryW(wide(path).c_str(), nullptr) || failed(error);
}

} // namespace kvx::platform
