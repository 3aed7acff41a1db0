#pragma once

#include <QCoreApplication>
#include <QString>

namespace kvx {

class DeviceSession;
class Prompter;

// The Log button: fetches the device's log into KVXLOG.TXT in the temporary folder and opens it in the
// desktop's viewer.
class DeviceLogFetch {
    Q_DECLARE_TR_FUNCTIONS(DeviceLogFetch)
public:
    enum class Result { Shown, TimedOut, NotWritten };

    // The folder is the system's temporary folder unless a test gives another.
    DeviceLogFetch(DeviceSession& session, Prompter& prompter, QString folder = {});

    Result run();
    QString logPath() const;

private:
    DeviceSession& m_session;
    Prompter& m_prompter;
    QString m_folder;
};

} // namespace kvx
