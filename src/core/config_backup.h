#pragma once

#include <QCoreApplication>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

class DeviceSession;
class NewFileBeside;
class Prompter;
class ProcedureProgress;
class ProfileFile;

// The file filter of the backup and restore dialogs.
QString configFileFilter();

struct ProfileEntry {
    std::string key;
    std::string value;
    bool operator==(const ProfileEntry&) const = default;
};

// One query of the backup: what is sent, the section its values go to, and how they are cut from the
// reply, in the order they are written.
struct BackupQuery {
    const char* command;
    const char* section;
    std::vector<ProfileEntry> (*extract)(std::string_view reply);
    // A list's reply closes with a "+OK" line; a value's begins with "+OK" (either may be a refusal).
    bool list = false;
};
const std::vector<BackupQuery>& backupQueries();

// The Back up button: asks every setting group of the device, in a fixed order, and writes the values
// into a configuration file the operator chooses.
class ConfigBackup {
    Q_DECLARE_TR_FUNCTIONS(ConfigBackup)
public:
    // NotCreated: no file could be made beside the path, and the device was not asked anything.
    // NotWritten: the settings were read, but could not be written.
    // Unasked: a reply came that no command asked for, so the values read may be shifted.
    enum class Result { Completed, Cancelled, TimedOut, Unasked, NotCreated, NotWritten };

    ConfigBackup(DeviceSession& session, Prompter& prompter, ProcedureProgress& progress);
    // Comment lines written before the first section, which readers pass over, made from what was read.
    using Header = std::function<std::string(const ProfileFile& read)>;
    void setHeader(Header header) { m_header = std::move(header); }
    // Asks for the file, creates it and writes it.
    Result run();
    // Into a file already created beside `path`, so that one made early, before the device was
    // contacted at all, is the one written.
    Result write(NewFileBeside& file, const QString& path);
    // The settings into memory only; a failure is reported as the backup reports it.
    Result read(ProfileFile& profile);

private:
    // `keepRead` keeps what was read when reading fails, and tells where for the message.
    Result readInto(ProfileFile& profile, const std::function<QString(const ProfileFile&)>& keepRead);
    static QString keepPartial(NewFileBeside& file, const ProfileFile& profile, const QString& path);

    DeviceSession& m_session;
    Prompter& m_prompter;
    ProcedureProgress& m_progress;
    Header m_header;
};

} // namespace kvx
