#include "profile_file.h"

#include "core/file_io.h"
#include "core/vocabulary.h"

#include <algorithm>

namespace kvx {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// What a reader gets of a stored value.
std::string readable(std::string_view stored) {
    return std::string(trimmed(beforeLineEnd(stored)));
}

std::size_t sectionBytes(std::string_view name) {
    return name.size() + 4; // [ ] CR LF
}

std::size_t entryBytes(std::string_view key, std::string_view value) {
    return key.size() + value.size() + 3; // = CR LF
}

} // namespace

std::optional<ProfileFile> ProfileFile::fromFile(const QString& path, QString& error) {
    const std::optional<QByteArray> data = readRegularFile(path, kMaxFileBytes, error);
    if (!data)
        return std::nullopt;
    return fromText(std::string_view(data->constData(), std::size_t(data->size())));
}

ProfileFile ProfileFile::fromText(std::string_view text) {
    ProfileFile file;
    file.parse(text);
    return file;
}

// CR, LF and CR LF all end a line, so that a file edited on any system reads the same. Sections and
// keys past the limits are passed over, so that a damaged file costs time in proportion to its size
// and memory in proportion to what a backup can hold.
void ProfileFile::parse(std::string_view text) {
    Section* current = nullptr;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        // CR LF ends one line, not two.
        const std::size_t ending = text.substr(end).starts_with("\r\n") ? 2 : 1;
        text.remove_prefix(end == text.size() ? end : end + ending);
        ++number;
        if (line.starts_with('[')) {
            const std::string_view name = line.substr(1, line.find(']') - 1);
            const auto found = findSection(name);
            if (found != m_sections.end()) {
                current = &*found;
            } else if (m_sections.size() < kMaxSections) {
                current = &m_sections.emplace_back(Section{std::string(name), {}});
                m_bytes += sectionBytes(name);
            } else {
                current = nullptr;
                m_truncated = true;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos)
            continue;
        if (current->entries.size() >= kMaxKeys) {
            m_truncated = true;
            continue;
        }
        const Entry& entry = current->entries.emplace_back(Entry{
            std::string(trimmed(line.substr(0, equals))), std::string(line.substr(equals + 1)), number});
        m_bytes += entryBytes(entry.key, entry.value);
    }
}

std::vector<ProfileFile::Section>::iterator ProfileFile::findSection(std::string_view name) {
    return std::find_if(m_sections.begin(), m_sections.end(),
                        [&](const Section& s) { return sameName(s.name, name); });
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view name) const {
    const auto found = std::find_if(m_sections.begin(), m_sections.end(),
                                    [&](const Section& s) { return sameName(s.name, name); });
    return found == m_sections.end() ? nullptr : &*found;
}

std::string ProfileFile::read(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (s == nullptr)
        return {};
    const auto found = std::find_if(s->entries.begin(), s->entries.end(),
                                    [&](const Entry& e) { return sameName(e.key, key); });
    return found == s->entries.end() ? std::string() : readable(found->value);
}

std::vector<std::string> ProfileFile::keys(std::string_view section) const {
    std::vector<std::string> out;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries)
            out.push_back(e.key);
    return out;
}

std::vector<std::string> ProfileFile::sections() const {
    std::vector<std::string> out;
    for (const Section& s : m_sections)
        out.push_back(s.name);
    return out;
}

std::vector<ProfileFile::Setting> ProfileFile::settings() const {
    std::vector<Setting> out;
    for (const Section& s : m_sections)
        for (const Entry& e : s.entries)
            out.push_back({s.name, e.key, readable(e.value), e.line});
    return out;
}

std::vector<ProfileFile::Setting> ProfileFile::settings(std::string_view section) const {
    std::vector<Setting> out;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries)
            out.push_back({s->name, e.key, readable(e.value), e.line});
    return out;
}

// A value keeps the line end that closed it, but nothing behind it, and a key (named after a field of
// a list reply) ends at its line end: a device's reply must not be able to add keys or sections that a
// restore would later send.
bool ProfileFile::write(std::string_view section, std::string_view replyKey, std::string_view replyValue) {
    const std::string_view key = beforeLineEnd(replyKey);
    const std::string_view firstLine = beforeLineEnd(replyValue);
    std::string value = std::string(firstLine) + (firstLine.size() < replyValue.size() ? "\r\n" : "");
    const auto fits = [](std::size_t total) {
        return total <= std::size_t(kMaxFileBytes);
    };
    const auto s = findSection(section);
    if (s == m_sections.end()) {
        const std::size_t bytes = sectionBytes(section) + entryBytes(key, value);
        if (m_sections.size() >= kMaxSections || !fits(m_bytes + bytes))
            return false;
        m_sections.push_back({std::string(section), {{std::string(key), std::move(value)}}});
        m_bytes += bytes;
        return true;
    }
    const auto e = std::find_if(s->entries.begin(), s->entries.end(),
                                [&](const Entry& candidate) { return sameName(candidate.key, key); });
    if (e != s->entries.end()) {
        const std::size_t total = m_bytes - e->value.size() + value.size();
        if (!fits(total))
            return false;
        m_bytes = total;
        e->value = std::move(value);
        return true;
    }
    const std::size_t bytes = entryBytes(key, value);
    if (s->entries.size() >= kMaxKeys || !fits(m_bytes + bytes))
        return false;
    s->entries.push_back({std::string(key), std::move(value)});
    m_bytes += bytes;
    return true;
}

std::string ProfileFile::text() const {
    std::string out;
    out.reserve(m_bytes);
    for (const Section& s : m_sections) {
        out += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries)
            out += e.key + "=" + e.value + "\r\n";
    }
    return out;
}

} // namespace kvx
