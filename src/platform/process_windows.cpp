#include "platform/process.h"
#include "platform/windows_text.h"

#include <shlobj.h>

namespace kvx::platform {
namespace {

// Set by the console's control handler, which runs on a thread of its own; waitForStop() waits for it.
HANDLE stopRequested() {
    static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

BOOL WINAPI onControl(DWORD) {
    ::SetEvent(stopRequested());
    return TRUE;
}

} // namespace

void takeStopRequests() {
    stopRequested();
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

void waitForStop() {
    ::WaitForSingleObject(stopRequested(), INFINITE);
}

void raiseOpenFileLimit() {
    // Sockets and files have no per-process soft limit here.
}

std::string userStateFolder() {
    wchar_t* folder = nullptr;
    std::string path;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK)
        path = windows::narrow(folder);
    ::CoTaskMemFree(folder);
    return path;
}

} // namespace kvx::platform
