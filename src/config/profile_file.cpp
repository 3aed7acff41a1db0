#include "profile_file.h"

#include "device/vocabulary.h"

#include <QFile>
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

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path)) {
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        parse(std::string_view(data.constData(), std::size_t(data.size())));
    }
}

ProfileFile ProfileFile::fromText(std::string_view text) {
    ProfileFile file;
    file.parse(text);
    return file;
}

// CR, LF and CR LF all end a line, so that a file edited on any system reads the same. Sections and
// keys past the limits are passed over, so that a huge or damaged file costs time in proportion to its
// size and memory in proportion to what a backup can hold.
void ProfileFile::parse(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == text.size() ? end : end + 1);
        if (line.starts_with('[')) {
            const std::string_view name = line.substr(1, line.find(']') - 1);
            const auto found = std::find_if(m_sections.begin(), m_sections.end(),
                                            [&](const Section& s) { return sameName(s.name, name); });
            if (found != m_sections.end())
                current = &*found;
            else if (m_sections.size() < kMaxSections)
                current = &m_sections.emplace_back(Section{std::string(name), {}});
            else
                current = nullptr;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current != nullptr && equals != std::string_view::npos && current->entries.size() < kMaxKeys)
            current->entries.push_back(
                {std::string(trimmed(line.substr(0, equals))), std::string(line.substr(equals + 1))});
    }
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
    if (found == s->entries.end())
        return {};
    return std::string(trimmed(beforeLineEnd(found->value)).substr(0, kMaxValueLength));
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

// A new key of the last section, or a new section, only extends the file; anything else rewrites it.
// A value keeps the line end that closed it, but nothing behind it: a device's reply must not be able
// to add keys or sections that a restore would later send.
bool ProfileFile::write(std::string_view section, std::string_view key, std::string_view replyValue) {
    const std::string_view firstLine = beforeLineEnd(replyValue);
    const std::string value = std::string(firstLine) + (firstLine.size() < replyValue.size() ? "\r\n" : "");
    const std::string line = std::string(key) + "=" + std::string(value) + "\r\n";
    auto s = std::find_if(m_sections.begin(), m_sections.end(),
                          [&](const Section& candidate) { return sameName(candidate.name, section); });
    if (s == m_sections.end()) {
        m_sections.push_back({std::string(section), {{std::string(key), std::string(value)}}});
        return append("[" + std::string(section) + "]\r\n" + line);
    }
    const auto e = std::find_if(s->entries.begin(), s->entries.end(),
                                [&](const Entry& candidate) { return sameName(candidate.key, key); });
    if (e != s->entries.end()) {
        e->value = std::string(value);
        return save();
    }
    s->entries.push_back({std::string(key), std::string(value)});
    return std::next(s) == m_sections.end() ? append(line) : save();
}

// The file stays open between appends, which are buffered (a backup makes hundreds of them); flush()
// puts them into the file.
bool ProfileFile::append(const std::string& text) {
    if (!m_appending) {
        m_appending = std::make_unique<QFile>(m_path);
        if (!m_appending->open(QIODevice::WriteOnly | QIODevice::Append)) {
            m_appending.reset();
            return false;
        }
    }
    return m_appending->write(text.data(), qint64(text.size())) == qint64(text.size());
}

bool ProfileFile::flush() {
    return !m_appending || m_appending->flush();
}

bool ProfileFile::save() {
    m_appending.reset();
    std::string text;
    for (const Section& s : m_sections) {
        text += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries)
            text += e.key + "=" + e.value + "\r\n";
    }
    QFile file(m_path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), qint64(text.size())) == qint64(text.size());
}

} // namespace kvx
