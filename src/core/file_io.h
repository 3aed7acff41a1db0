#pragma once

#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace kvx {

// The one way files are read and written by the manager and kvx100ctl, so that a planted link, a FIFO,
// a device node, a huge file or a full disk is refused with a clear text instead of followed, blocked
// on, read whole or ignored.

// The whole content of a regular file of at most maxBytes. Anything else (missing, a folder, a FIFO, a
// device, larger than the bound, a read error) gives nothing and `error` says why, naming the path. A
// link to a regular file is read.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString& error);

// Writes the bytes into a new file created exclusively beside `path`, flushes it to the disk and renames
// it over `path`: a link standing at `path` is replaced, never followed, and `path` holds either its
// old content or the whole new one. On failure `path` is untouched, the new file is removed and `error`
// names the path and the cause.
bool replaceFile(const QString& path, std::string_view bytes, QString& error);

// The same in two steps, for output that takes long to gather: create() makes the new file beside
// `path` at once, so a folder that takes no file is known before any work is done; commit() later
// writes the bytes and renames the file over `path`, or over another name in the same folder. A new
// file that was never committed is removed with the object.
class NewFileBeside {
public:
    explicit NewFileBeside(QString path);
    ~NewFileBeside();
    NewFileBeside(const NewFileBeside&) = delete;
    NewFileBeside& operator=(const NewFileBeside&) = delete;

    // `error` names the path and the cause.
    bool create(QString& error);
    // Once only; `error` names `name` and the cause.
    bool commit(std::string_view bytes, const QString& name, QString& error);

private:
    QString m_path;
    std::string m_newFile;
    platform::File m_file;
};

} // namespace kvx
