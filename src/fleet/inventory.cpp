#include "inventory.h"

#include "core/file_io.h"
#include "core/profile_file.h"
#include "core/qt_text.h"
#include "fleet/printable.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unordered_map>

namespace kvx::fleet {
namespace {

bool isKeyStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isKeyCharacter(char c) {
    return isKeyStart(c) || (c >= '0' && c <= '9');
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct LineError {
    std::string text;
};

// The next word of a line, or a quoted text; `rest` moves past it and the blanks that follow.
std::string nextValue(std::string_view& rest) {
    std::string value;
    if (rest.starts_with('"')) {
        std::size_t i = 1;
        for (; i < rest.size() && rest[i] != '"'; ++i) {
            if (rest[i] == '\\' && i + 1 < rest.size() && (rest[i + 1] == '"' || rest[i + 1] == '\\'))
                ++i;
            value += rest[i];
        }
        if (i >= rest.size())
            throw LineError{"a quoted value has no closing quote"};
        rest.remove_prefix(i + 1);
        if (!rest.empty() && !isBlank(rest.front()))
            throw LineError{"a quoted value runs into the next word"};
    } else {
        const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
        value = std::string(rest.substr(0, end));
        if (value.find('"') != std::string::npos)
            throw LineError{"a quote stands inside a word"};
        rest.remove_prefix(end);
    }
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    return value;
}

// A value goes onto the device's command lines and into the report: control characters have no place
// there.
void checkValue(const std::string& key, const std::string& value) {
    if (std::any_of(value.begin(), value.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        throw LineError{"the value of " + key + " holds a control character"};
}

InventoryEntry readDevice(std::string_view line, const std::string& group, int number) {
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    const std::optional<HostAddress> address = parseHostAddress(line.substr(0, end));
    if (!address)
        throw LineError{"not a device address: " + printable(line.substr(0, std::min<std::size_t>(end, 64)))};
    InventoryEntry entry{*address, {}, {}, {}, {}, {}, number};
    if (!group.empty())
        entry.groups.push_back(group);
    std::string_view rest = line.substr(end);
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty()) {
        const std::size_t equals = rest.find('=');
        const std::string_view key = rest.substr(0, equals);
        if (equals == std::string_view::npos || key.empty() || !isKeyStart(key.front()) ||
            !std::all_of(key.begin(), key.end(), isKeyCharacter))
            throw LineError{"expected key=value, found " +
                            printable(rest.substr(0, std::min<std::size_t>(rest.size(), 64)))};
        rest.remove_prefix(equals + 1);
        const std::string value = nextValue(rest);
        checkValue(std::string(key), value);
        if (!entry.variables.emplace(key, value).second)
            throw LineError{std::string(key) + " is given twice"};
    }
    const auto own = [&entry](const char* key) {
        const auto found = entry.variables.find(key);
        return found == entry.variables.end() ? std::string() : found->second;
    };
    entry.name = own("name");
    entry.user = own("user");
    entry.passwordFile = own("password_file");
    entry.variables.erase("user");
    entry.variables.erase("password_file");
    return entry;
}

// A device listed again joins the groups of the later line; what both lines say must agree, so that no
// line silently overrides another.
void merge(InventoryEntry& earlier, const InventoryEntry& later) {
    const auto agree = [&](const std::string& a, const std::string& b, const char* key) {
        if (!a.empty() && !b.empty() && a != b)
            throw LineError{std::string(key) + " differs from line " + std::to_string(earlier.line)};
    };
    agree(earlier.user, later.user, "user");
    agree(earlier.passwordFile, later.passwordFile, "password_file");
    for (const auto& [key, value] : later.variables) {
        const auto [it, added] = earlier.variables.emplace(key, value);
        if (!added)
            agree(it->second, value, key.c_str());
    }
    if (earlier.user.empty())
        earlier.user = later.user;
    if (earlier.passwordFile.empty())
        earlier.passwordFile = later.passwordFile;
    if (earlier.name.empty())
        earlier.name = later.name;
    for (const std::string& group : later.groups)
        if (std::find(earlier.groups.begin(), earlier.groups.end(), group) == earlier.groups.end())
            earlier.groups.push_back(group);
}

} // namespace

void forEachListLine(const QByteArray& text, std::string_view comments,
                     const std::function<bool(std::string_view line, int number)>& take) {
    int number = 0;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype newline = text.indexOf('\n', start);
        const qsizetype end = newline < 0 ? text.size() : newline;
        const QByteArray line = text.mid(start, end - start).trimmed();
        start = end + 1;
        ++number;
        if (line.isEmpty() || comments.find(line.front()) != std::string_view::npos)
            continue;
        if (!take(std::string_view(line.constData(), std::size_t(line.size())), number))
            return;
    }
}

std::optional<std::vector<InventoryEntry>> parseInventory(const QByteArray& text, std::string& error) {
    std::vector<InventoryEntry> entries;
    std::unordered_map<std::string, std::size_t> indexOf;
    std::string group;
    int number = 0;
    try {
        forEachListLine(text, "#;", [&](std::string_view view, int lineNumber) {
            number = lineNumber;
            if (view.starts_with('[')) {
                const std::string_view name = view.substr(1, view.size() - 2);
                if (!view.ends_with(']') || name.empty() ||
                    !std::all_of(name.begin(), name.end(),
                                 [](char c) { return isKeyCharacter(c) || c == '-' || c == '.'; }))
                    throw LineError{"a group is [NAME] of letters, digits, \"_\", \"-\" and \".\""};
                group = std::string(name);
                return true;
            }
            InventoryEntry entry = readDevice(view, group, number);
            // Looked up by label, so that an inventory of tens of thousands of devices reads in linear time.
            const auto [known, added] = indexOf.try_emplace(entry.address.label(), entries.size());
            if (added)
                entries.push_back(std::move(entry));
            else
                merge(entries[known->second], entry);
            return true;
        });
    } catch (const LineError& wrong) {
        error = "line " + std::to_string(number) + ": " + wrong.text;
        return std::nullopt;
    }
    return entries;
}

namespace {

// Calls `text` with each stretch of a value that stands as written and `reference` with each variable
// name; stops when `reference` returns false.
void walkValue(std::string_view value, const std::function<void(std::string_view)>& text,
               const std::function<bool(const std::string&)>& reference) {
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t open = value.find("${", i);
        const std::size_t close = open == std::string_view::npos ? open : value.find('}', open);
        const std::string name = close == std::string_view::npos
                                     ? std::string()
                                     : std::string(value.substr(open + 2, close - open - 2));
        if (name.empty() || !isKeyStart(name.front()) ||
            !std::all_of(name.begin(), name.end(), isKeyCharacter)) {
            // Not a reference: the text stands as written.
            const std::size_t next = open == std::string_view::npos ? value.size() : open + 2;
            text(value.substr(i, next - i));
            i = next;
            continue;
        }
        text(value.substr(i, open - i));
        if (!reference(name))
            return;
        i = close + 1;
    }
}

} // namespace

std::vector<std::string> variablesIn(std::string_view value) {
    std::vector<std::string> out;
    walkValue(
        value, [](std::string_view) {},
        [&](const std::string& name) {
            out.push_back(name);
            return true;
        });
    return out;
}

std::optional<std::string> expandVariables(ProfileFile& file,
                                           const std::map<std::string, std::string>& variables) {
    ProfileFile expanded = file;
    for (const ProfileFile::Setting& setting : file.settings()) {
        std::string value;
        bool changed = false;
        std::optional<std::string> missing;
        walkValue(
            setting.value, [&](std::string_view text) { value += text; },
            [&](const std::string& name) {
                const auto found = variables.find(name);
                if (found == variables.end()) {
                    missing = name;
                    return false;
                }
                value += found->second;
                changed = true;
                return true;
            });
        if (missing)
            return "${" + *missing + "} has no value for this device";
        if (changed && !expanded.write(setting.section, setting.key, value))
            return "the file grows too large with this device's values";
    }
    file = std::move(expanded);
    return std::nullopt;
}

// A password file is read only when nobody but the user running kvx100ctl can read or change it, as
// ssh asks of a private key: a file others can read has leaked already, and one others can write
// hands them the login. The checks are made on the descriptor that is read, and a link is not
// followed, so that what is checked is what is read.
std::optional<std::string> readPasswordFile(const QString& path, std::string& error) {
    const std::string shown = printable(toStd(path));
    const std::string name = path.toStdString(); // UTF-8, as the file seam takes it
    const auto refused = [&](const std::string& why) {
        error = "the password file " + shown + " " + why;
        return std::nullopt;
    };
    const auto unreadable = [&](const platform::SystemError& cause) {
        error = "cannot read the password file " + shown + ": " + cause.text;
        return std::nullopt;
    };
    platform::SystemError cause;
    // Without blocking, so that a FIFO with no writer cannot hold the run; its status then refuses it.
    const platform::File file = platform::openForReading(name, platform::Links::refuse, cause);
    if (!file.isOpen()) {
        platform::FileStatus link;
        platform::SystemError ignored;
        if (cause.isLink && platform::statusAt(name, link, ignored) && link.kind == platform::FileKind::link)
            return refused("is a symbolic link; name the file itself");
        return unreadable(cause);
    }
    platform::FileStatus info;
    if (!platform::statusOf(file, info, cause))
        return unreadable(cause);
    if (info.kind != platform::FileKind::regular)
        return refused("is not a regular file");
    if (!info.ownedByUser)
        return refused("is owned by another user (uid " + std::to_string(info.owner) + "); it must be yours");
    if ((info.mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", info.mode);
        const char* open = (info.mode & 044) ? "readable" : (info.mode & 022) ? "writable" : "usable";
        return refused("is " + std::string(open) + " by others (mode " + mode + "); chmod 600 it");
    }
    // The size may change while reading; one byte beyond the bound tells that it grew past it.
    const std::string tooLarge = "is larger than " + std::to_string(kMaxPasswordFileBytes) + " bytes";
    if (info.size > kMaxPasswordFileBytes)
        return refused(tooLarge);
    std::string text(std::size_t(kMaxPasswordFileBytes) + 1, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const std::int64_t n = platform::readSome(file, text.data() + filled, text.size() - filled, cause);
        if (n < 0)
            return unreadable(cause);
        if (n == 0)
            break;
        filled += std::size_t(n);
    }
    if (filled > std::size_t(kMaxPasswordFileBytes))
        return refused(tooLarge);
    text.resize(filled);
    std::string line = text.substr(0, text.find('\n'));
    while (line.ends_with('\r'))
        line.pop_back();
    return line;
}

// The devices an inventory names, with their own credentials and variables; `groups` selects them
// when given.
std::optional<std::vector<Device>> devicesFromInventory(const QString& path, const QStringList& groups,
                                                        std::string& error) {
    QString reason;
    const std::optional<QByteArray> text = readRegularFile(path, kMaxInventoryBytes, reason);
    if (!text) {
        error = "cannot read the inventory " + toStd(reason);
        return std::nullopt;
    }
    std::string wrongLine;
    const std::optional<std::vector<InventoryEntry>> entries = parseInventory(*text, wrongLine);
    if (!entries) {
        error = "in the inventory " + toStd(path) + ", " + wrongLine;
        return std::nullopt;
    }
    for (const QString& group : groups)
        if (std::none_of(entries->begin(), entries->end(), [&](const InventoryEntry& e) {
                return std::find(e.groups.begin(), e.groups.end(), toStd(group)) != e.groups.end();
            })) {
            error = "the inventory has no group " + printable(toStd(group));
            return std::nullopt;
        }
    // Each password file is read once, however many devices share it.
    std::map<std::string, std::string> passwords;
    std::vector<Device> devices;
    for (const InventoryEntry& entry : *entries) {
        if (!groups.isEmpty() &&
            std::none_of(entry.groups.begin(), entry.groups.end(),
                         [&](const std::string& g) { return groups.contains(fromStd(g)); }))
            continue;
        Device device{entry.address,   entry.name,
                      std::nullopt,    entry.groups,
                      entry.variables, "line " + std::to_string(entry.line) + " of " + toStd(path)};
        device.variables["host"] = entry.address.host;
        if (!entry.user.empty() || !entry.passwordFile.empty()) {
            if (entry.user.empty() || entry.passwordFile.empty()) {
                error = "in the inventory " + toStd(path) + ", line " + std::to_string(entry.line) +
                        ": user and password_file go together";
                return std::nullopt;
            }
            auto [known, added] = passwords.try_emplace(entry.passwordFile);
            if (added) {
                std::optional<std::string> password = readPasswordFile(fromStd(entry.passwordFile), error);
                if (!password)
                    return std::nullopt;
                known->second = std::move(*password);
            }
            device.credentials = Credentials{entry.user, known->second};
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

} // namespace kvx::fleet
