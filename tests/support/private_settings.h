#pragma once

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

namespace kvx::test {

// Points the user's settings at an empty folder of this run's own, removed at exit: no test starts from
// the operator's settings or leaves any behind. Made before the application object, which is when the
// settings' location is first looked up. Settings files, not the registry, on Windows too.
class PrivateSettings {
public:
    PrivateSettings() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.path()));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }

private:
    QTemporaryDir m_folder;
};

} // namespace kvx::test
