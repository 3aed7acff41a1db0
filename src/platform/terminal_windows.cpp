#include "platform/terminal.h"
#include "platform/windows_text.h"

namespace kvx::platform {
namespace {

HANDLE handleOf(Stream stream) {
    switch (stream) {
    case Stream::input:
        return ::GetStdHandle(STD_INPUT_HANDLE);
    case Stream::output:
        return ::GetStdHandle(STD_OUTPUT_HANDLE);
    case Stream::error:
        break;
    }
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

// The console's own input or screen, whatever the standard streams were redirected to.
class Console {
public:
    explicit Console(const wchar_t* name)
        : m_handle(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Console() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    HANDLE get() const { return m_handle; }
    void write(std::wstring_view text) const {
        DWORD written = 0;
        ::WriteConsoleW(m_handle, text.data(), DWORD(text.size()), &written, nullptr);
    }

private:
    HANDLE m_handle;
};

} // namespace

bool isTerminal(Stream stream) {
    // _isatty() says yes to the NUL device too; only a console has a console mode.
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(stream), &mode) != 0;
}

std::optional<int> terminalRows(Stream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(handleOf(stream), &info))
        return std::nullopt;
    const int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return rows > 0 ? std::optional<int>(rows) : std::nullopt;
}

std::optional<std::string> readHiddenLine(std::string_view prompt) {
    const Console input(L"CONIN$");
    const Console screen(L"CONOUT$");
    DWORD saved = 0;
    if (input.get() == INVALID_HANDLE_VALUE || !::GetConsoleMode(input.get(), &saved))
        return std::nullopt;
    // Line input stays on, so the console still lets the user correct what was typed.
    const bool hidden =
        ::SetConsoleMode(input.get(), (saved | ENABLE_LINE_INPUT) & ~DWORD(ENABLE_ECHO_INPUT));
    screen.write(windows::wide(prompt));
    std::wstring line;
    wchar_t c = 0;
    DWORD n = 0;
    while (::ReadConsoleW(input.get(), &c, 1, &n, nullptr) && n == 1 && c != L'\n' && c != L'\r')
        line += c;
    // The rest of the line (the LF after the CR) stays in the console's buffer until the mode changes.
    ::FlushConsoleInputBuffer(input.get());
    if (hidden)
        ::SetConsoleMode(input.get(), saved);
    screen.write(L"\r\n");
    return windows::narrow(line);
}

} // namespace kvx::platform
