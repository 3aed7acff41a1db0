#include "convergence.h"

#include "core/config_backup.h"
#include "core/profile_file.h"
#include "core/vocabulary.h"
#include "ctl/printable.h"

#include <algorithm>

namespace kvx::ctl {
namespace {

struct Entry {
    std::string first;  // the bound device, the server's device, the From address
    std::string second; // its port, the server, the To address
    bool operator==(const Entry&) const = default;
};

struct ListGroup {
    const char* section;
    const char* firstKey; // the keys an entry is written under, after its number
    const char* secondKey;
    const char* joiner; // between the two halves in the entry's text
    std::vector<Entry> (*entries)(const ProfileFile& profile);
    const char* scalarKey; // a key of the section that is a single setting, not part of the list
};

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && endsWithNoCase(a, b);
}

// Numbered pairs "0From"/"0To" ..., as many as both SUM and the keys written allow.
std::vector<Entry> numbered(const ProfileFile& profile, const char* section, const char* first,
                            const char* second) {
    const std::size_t written = profile.keys(section).size() / 2;
    const std::size_t count = std::min<std::size_t>(leadingDecimal(profile.read(section, "SUM")), written);
    std::vector<Entry> out;
    for (std::size_t n = 0; n < count; ++n) {
        const std::string number = std::to_string(n);
        out.push_back({profile.read(section, number + first), profile.read(section, number + second)});
    }
    return out;
}

// Servers are keyed by the device's own index, which need not run 0, 1, 2...
std::vector<Entry> servers(const ProfileFile& profile) {
    std::vector<Entry> out;
    const std::vector<std::string> keys = profile.keys("SERV");
    for (const std::string& key : keys) {
        if (!endsWithNoCase(key, "Name"))
            continue;
        const std::string serverKey = key.substr(0, key.size() - 4) + "Server";
        if (std::any_of(keys.begin(), keys.end(),
                        [&](const std::string& k) { return sameNoCase(k, serverKey); }))
            out.push_back({profile.read("SERV", key), profile.read("SERV", serverKey)});
    }
    return out;
}

const ListGroup kLists[] = {
    {"BIND", "Name", "Port", " ", [](const ProfileFile& p) { return numbered(p, "BIND", "Name", "Port"); },
     nullptr},
    {"SERV", "Name", "Server", " ", servers, "Client Server"},
    {"ROUTE", "From", "To", " > ", [](const ProfileFile& p) { return numbered(p, "ROUTE", "From", "To"); },
     nullptr},
};

const ListGroup* listGroup(std::string_view section) {
    for (const ListGroup& list : kLists)
        if (sameNoCase(list.section, section))
            return &list;
    return nullptr;
}

std::string textOf(const ListGroup& list, const Entry& entry) {
    return entry.first + list.joiner + entry.second;
}

// The entries of `from` that `other` lacks, each of `other` matching one of `from` at most.
std::vector<Entry> missingFrom(std::vector<Entry> other, const std::vector<Entry>& from) {
    std::vector<Entry> out;
    for (const Entry& entry : from) {
        const auto found = std::find(other.begin(), other.end(), entry);
        if (found == other.end())
            out.push_back(entry);
        else
            other.erase(found);
    }
    return out;
}

// The file's section as it is named in the backup, whatever case the file wrote it in.
std::string sectionOf(const ProfileFile& file, const char* section) {
    for (const std::string& name : file.sections())
        if (sameNoCase(name, section))
            return name;
    return {};
}

std::string settingLine(std::string_view word, std::string_view value) {
    return std::string(word) + std::string(value) + ";\r\n";
}

} // namespace

std::vector<Difference> differencesOf(const ProfileFile& device, const ProfileFile& file, ListMatch lists) {
    std::vector<Difference> out;
    for (const BackupQuery& query : backupQueries()) {
        const std::string section = sectionOf(file, query.section);
        if (section.empty())
            continue;
        const ListGroup* list = listGroup(query.section);
        for (const std::string& key : file.keys(section)) {
            if (list != nullptr && (list->scalarKey == nullptr || !sameNoCase(key, list->scalarKey)))
                continue;
            const std::string mine = device.read(query.section, key);
            const std::string theirs = file.read(section, key);
            if (mine != theirs)
                out.push_back({query.section, key, mine, theirs});
        }
        if (list == nullptr || file.read(section, "SUM").empty())
            continue;
        const std::vector<Entry> onDevice = list->entries(device);
        const std::vector<Entry> inFile = list->entries(file);
        if (lists == ListMatch::Exact)
            for (const Entry& entry : missingFrom(inFile, onDevice))
                out.push_back({query.section, textOf(*list, entry), textOf(*list, entry), std::nullopt});
        for (const Entry& entry : missingFrom(onDevice, inFile))
            out.push_back({query.section, textOf(*list, entry), std::nullopt, textOf(*list, entry)});
    }
    return out;
}

std::string differenceText(const Difference& d) {
    if (d.device && d.file)
        return printable(d.group) + " " + printable(d.item) + ": device \"" + printable(*d.device) +
               "\", file \"" + printable(*d.file) + "\"";
    return printable(d.group) + " entry \"" + printable(d.item) +
           "\": " + (d.device ? "on the device only" : "in the file only");
}

ApplyPlan planApply(const ProfileFile& device, const ProfileFile& file,
                    const std::vector<Difference>& differences) {
    ApplyPlan plan;
    ProfileFile merged = device; // the device with the file's single settings
    ProfileFile additions;       // the list entries the device lacks, numbered as the restore wants them
    std::vector<RestoreStep> removals;
    bool clearRoutes = false;
    for (const Difference& d : differences) {
        if (std::find(plan.groups.begin(), plan.groups.end(), d.group) == plan.groups.end())
            plan.groups.push_back(d.group);
        const ListGroup* list = listGroup(d.group);
        if (d.device && d.file) {
            merged.write(d.group, d.item, *d.file);
            if (list != nullptr) // the client's server, which the restore sends only with the mode
                plan.steps.push_back({settingLine("serv ", *d.file), RestoreStep::Check::Answered, d.group});
            continue;
        }
        if (d.device) {
            const Entry entry = [&] {
                for (const Entry& e : list->entries(device))
                    if (textOf(*list, e) == d.item)
                        return e;
                return Entry{};
            }();
            if (d.group == "BIND")
                removals.push_back({"Rele " + entry.second + "\r\n", RestoreStep::Check::Answered, d.group});
            else if (d.group == "SERV")
                removals.push_back(
                    {"DelServ " + entry.first + "\r\n", RestoreStep::Check::Answered, d.group});
            else
                clearRoutes = true;
        }
    }
    // Routes cannot be removed one by one: the table is emptied and the file's routes are added anew.
    for (const ListGroup& list : kLists) {
        if (std::find(plan.groups.begin(), plan.groups.end(), list.section) == plan.groups.end())
            continue;
        const bool whole = clearRoutes && std::string_view(list.section) == "ROUTE";
        const std::vector<Entry> entries =
            whole ? list.entries(file) : missingFrom(list.entries(device), list.entries(file));
        int n = 0;
        for (const Entry& entry : entries) {
            const std::string number = std::to_string(n++);
            additions.write(list.section, number + list.firstKey, entry.first);
            additions.write(list.section, number + list.secondKey, entry.second);
        }
        additions.write(list.section, "SUM", std::to_string(n));
    }
    if (clearRoutes)
        removals.push_back({"route ptp;\r\n", RestoreStep::Check::Answered, "ROUTE"});

    const auto differs = [&plan](const std::string& group) {
        return std::find(plan.groups.begin(), plan.groups.end(), group) != plan.groups.end();
    };
    for (RestoreStep& step : restoreSteps(merged))
        if (listGroup(step.group) == nullptr && differs(step.group))
            plan.steps.push_back(std::move(step));
    plan.steps.insert(plan.steps.end(), removals.begin(), removals.end());
    for (RestoreStep& step : restoreSteps(additions))
        if (listGroup(step.group) != nullptr && differs(step.group))
            plan.steps.push_back(std::move(step));
    return plan;
}

} // namespace kvx::ctl
