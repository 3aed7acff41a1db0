#include "device_log_fetch.h"

#include "device/device_session.h"
#include "device/prompter.h"

#include <QDir>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace kvx {

DeviceLogFetch::DeviceLogFetch(DeviceSession& session, Prompter& prompter, QString folder)
    : m_session(session)
    , m_prompter(prompter)
    , m_folder(folder.isEmpty() ? QDir::tempPath() : std::move(folder)) {}

QString DeviceLogFetch::logPath() const {
    return QDir(m_folder).filePath(QStringLiteral("KVXLOG.TXT"));
}

DeviceLogFetch::Result DeviceLogFetch::run() {
    const std::string reply = m_session.transact("log\r\n", 10);
    if (reply.empty()) {
        m_prompter.message(tr("Log is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return Result::TimedOut;
    }
    if (!writeLog(reply))
        return Result::NotWritten;
    m_prompter.openInViewer(logPath());
    return Result::Shown;
}

// The name is fixed and the folder shared, so someone else may have put a link there. The text goes to
// a fresh file of our own which is then renamed over the name: a link is replaced, never followed.
// (QSaveFile would not do: it resolves a link and writes to its target.)
bool DeviceLogFetch::writeLog(const std::string& text) const {
    QTemporaryFile file(QDir(m_folder).filePath(QStringLiteral("KVXLOG.XXXXXX")));
    if (!file.open() || file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.flush())
        return false;
    file.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(file.fileName().toStdU16String()),
                            std::filesystem::path(logPath().toStdU16String()), error);
    if (error)
        return false;
    file.setAutoRemove(false);
    return true;
}

} // namespace kvx
