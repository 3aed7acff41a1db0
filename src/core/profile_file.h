#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx {

// A configuration file in INI form, built and read in memory with the rules the backup relies on: a
// new section goes to the end of the file, a new key to the end of its section, an existing key is
// replaced; lines end in CR LF. Lookups ignore the case of section and key names.
class ProfileFile {
public:
    // What a file holds at most, read or written: a backup writes 19 sections, and its longest list,
    // 500 routes, 1001 keys.
    static constexpr std::size_t kMaxSections = 64;
    static constexpr std::size_t kMaxKeys = 4096;
    // The most bytes a file holds, read or written; a full backup is far below it.
    static constexpr qint64 kMaxFileBytes = 4 << 20;

    ProfileFile() = default;

    // The file at `path`, when it is a regular file of at most kMaxFileBytes; otherwise nothing, and
    // `error` names the path and the cause.
    static std::optional<ProfileFile> fromFile(const QString& path, QString& error);
    // The parsing half on its own, for data that is not a file.
    static ProfileFile fromText(std::string_view text);

    // False, and nothing changed, when the key would take the file past one of the limits above.
    bool write(std::string_view section, std::string_view key, std::string_view value);
    // The file as written out.
    std::string text() const;

    // Up to the end of the value's line, without blanks at either end, whole: a value is sent and
    // compared as the file holds it. Empty when the section or the key is missing.
    std::string read(std::string_view section, std::string_view key) const;
    // The keys of a section in file order.
    std::vector<std::string> keys(std::string_view section) const;
    // The section names in file order.
    std::vector<std::string> sections() const;

    struct Setting {
        std::string section;
        std::string key;
        std::string value; // as read() gives it
        int line = 0;      // in the text it was parsed from; 0 for a key written since
    };
    // Every key of every section, in file order.
    std::vector<Setting> settings() const;
    // Every key of one section, in file order.
    std::vector<Setting> settings(std::string_view section) const;
    // The text held sections or keys past the limits, which were passed over: what a reader gets is
    // not all the file says (a list's SUM among the keys lost, say).
    bool truncated() const { return m_truncated; }

private:
    struct Entry {
        std::string key;
        std::string value;
        int line = 0;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    void parse(std::string_view text);
    std::vector<Section>::iterator findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;

    std::vector<Section> m_sections;
    std::size_t m_bytes = 0; // of text()
    bool m_truncated = false;
};

} // namespace kvx
