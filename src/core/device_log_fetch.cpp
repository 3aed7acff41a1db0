#include "device_log_fetch.h"

#include "core/config_queries.h"
#include "core/device_session.h"
#include "core/file_io.h"
#include "core/prompter.h"

#include <QDir>

namespace kvx {

DeviceLogFetch::DeviceLogFetch(DeviceSession& session, Prompter& prompter, QString folder)
    : m_session(session)
    , m_prompter(prompter)
    , m_folder(folder.isEmpty() ? QDir::tempPath() : std::move(folder)) {}

QString DeviceLogFetch::logPath() const {
    return QDir(m_folder).filePath(QStringLiteral("KVXLOG.TXT"));
}

DeviceLogFetch::Result DeviceLogFetch::run() {
    const QueryOutcome outcome = runQuery(m_session, m_prompter, kLogQuery);
    if (!outcome)
        return Result::TimedOut;
    const std::string& reply = outcome.reply;
    // The name is fixed and the folder shared, so someone else may have put a link there: it is
    // replaced, never followed.
    if (QString error; !replaceFile(logPath(), reply, error)) {
        m_prompter.message(tr("The file cannot be written: %1").arg(error));
        return Result::NotWritten;
    }
    m_prompter.openInViewer(logPath());
    return Result::Shown;
}

} // namespace kvx
