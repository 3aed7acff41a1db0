#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace kvx::test {

// Writes `data` into a file of `dir` that only the user may read or change, as kvx100ctl asks of a
// password file; its path, or nothing when it could not be written whole.
inline QString writePrivateFile(const QTemporaryDir& dir, const char* name, const QByteArray& data) {
    QFile file(dir.filePath(QLatin1String(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return {};
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ? file.fileName() : QString();
}

} // namespace kvx::test
