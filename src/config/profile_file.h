#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

// A configuration file in INI form, read and written one key at a time with the rules the backup
// relies on: a new section goes to the end of the file, a new key to the end of its section, an
// existing key is replaced; lines end in CR LF. Lookups ignore the case of section and key names.
class ProfileFile {
public:
    // The longest value a reader gets; the restore's commands were sized for it.
    static constexpr std::size_t kMaxValueLength = 49;
    // What a reader takes of a file: a backup writes 19 sections, and its longest list, 500 routes,
    // 1001 keys.
    static constexpr std::size_t kMaxSections = 64;
    static constexpr std::size_t kMaxKeys = 4096;
    // The most bytes a reader takes of a file; a full backup is far below it.
    static constexpr qint64 kMaxFileBytes = 4 << 20;

    // Reads what is there; a missing or unreadable file reads as empty.
    explicit ProfileFile(QString path);

    // False when the file could not be written; the key is kept in memory all the same. New keys at
    // the end of the file may wait in a buffer until flush() or the end of the object.
    bool write(std::string_view section, std::string_view key, std::string_view value);
    bool flush();

    // Up to the end of the value's line, without blanks at either end, cut to kMaxValueLength;
    // empty when the section or the key is missing.
    std::string read(std::string_view section, std::string_view key) const;
    // The keys of a section in file order.
    std::vector<std::string> keys(std::string_view section) const;
    // The section names in file order.
    std::vector<std::string> sections() const;

    // The parsing half on its own, for data that is not a file.
    static ProfileFile fromText(std::string_view text);

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    ProfileFile() = default;
    void parse(std::string_view text);
    const Section* findSection(std::string_view name) const;
    bool save();
    bool append(const std::string& text);

    QString m_path;
    std::unique_ptr<QFile> m_appending;
    std::vector<Section> m_sections;
};

} // namespace kvx
