#include "convergence.h"

#include "core/config_backup.h"
#include "core/profile_file.h"
#include "core/vocabulary.h"
#include "fleet/printable.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace kvx::fleet {
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

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return out;
}

// Numbered pairs "0From"/"0To" ..., as many as both SUM and the keys written allow. The section is
// read once, so that a table of thousands of routes costs its size, not its square.
std::vector<Entry> numbered(const ProfileFile& profile, const char* section, const char* first,
                            const char* second) {
    std::unordered_map<std::string, std::string> values;
    for (ProfileFile::Setting& setting : profile.settings(section))
        values.try_emplace(lowered(setting.key), std::move(setting.value)); // the first of a repeated key
    const std::size_t count =
        std::min<std::size_t>(leadingDecimal(values[lowered("SUM")]), values.size() / 2);
    std::vector<Entry> out;
    for (std::size_t n = 0; n < count; ++n) {
        const std::string number = std::to_string(n);
        out.push_back({values[number + lowered(first)], values[number + lowered(second)]});
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
std::vector<Entry> missingFrom(const std::vector<Entry>& other, const std::vector<Entry>& from) {
    std::map<std::pair<std::string, std::string>, std::size_t> held;
    for (const Entry& entry : other)
        ++held[{entry.first, entry.second}];
    std::vector<Entry> out;
    for (const Entry& entry : from) {
        const auto found = held.find({entry.first, entry.second});
        if (found == held.end() || found->second == 0)
            out.push_back(entry);
        else
            --found->second;
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

// The restore's forms of a list entry's lines.
std::string addLine(const ListGroup& list, const Entry& entry) {
    if (std::string_view(list.section) == "BIND")
        return "bind " + entry.first + " " + entry.second + ";\r\n";
    return "Serv " + entry.second + " " + entry.first + ";\r\n";
}

std::string removeLine(const ListGroup& list, const Entry& entry) {
    if (std::string_view(list.section) == "BIND")
        return "Rele " + entry.second + "\r\n"; // released by its data port
    return "DelServ " + entry.first + "\r\n";   // deleted by its name
}

// An entry to add that the device cannot hold beside one to remove: the same device or the same port.
bool collides(const ListGroup& list, const Entry& a, const Entry& b) {
    return a.first == b.first || (std::string_view(list.section) == "BIND" && a.second == b.second);
}

// Each From address once, with every To address it has, in the order of first appearance: one line a
// From, so that the lines grow with the routes, not with their square.
std::vector<RestoreStep> routeLines(const std::vector<Entry>& routes, const std::vector<Entry>& only = {}) {
    std::set<std::string> wanted;
    for (const Entry& route : only)
        wanted.insert(route.first);
    std::map<std::string, std::size_t> lineOf; // a From's line in `out`
    std::vector<RestoreStep> out{{"route multi;\r\n", RestoreStep::Check::None, "ROUTE"},
                                 {"route manual;\r\n", RestoreStep::Check::None, "ROUTE"}};
    for (const Entry& route : routes) {
        if (!only.empty() && !wanted.contains(route.first))
            continue;
        const auto [line, added] = lineOf.try_emplace(route.first, out.size());
        if (added)
            out.push_back({"route add " + route.first, RestoreStep::Check::RouteAdded, "ROUTE"});
        out[line->second].command += " " + route.second;
    }
    for (std::size_t i = 2; i < out.size(); ++i)
        out[i].command += ";\r\n";
    return out;
}

// A list the restore would send: BIND and ROUTE by their SUM, servers by their keys alone.
bool managed(const ListGroup& list, const ProfileFile& file, const std::string& section) {
    if (!file.read(section, "SUM").empty())
        return true;
    return std::string_view(list.section) == "SERV" && !list.entries(file).empty();
}

// The mode the device will be in: the file's, or the device's where the file names none.
std::string modeAfter(const ProfileFile& device, const ProfileFile& file) {
    const std::string mode = file.read("MODE", "Mode");
    return mode.empty() ? device.read("MODE", "Mode") : mode;
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
            // The restore sends the client's server only with the client mode.
            if (list != nullptr && modeAfter(device, file) != "Client Mode")
                continue;
            const std::string mine = device.read(query.section, key);
            const std::string theirs = file.read(section, key);
            if (mine != theirs)
                out.push_back({query.section, key, mine, theirs});
        }
        if (list == nullptr || !managed(*list, file, section))
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
    bool clientServer = false; // the client's server differs
    bool removals = false;     // some list entry is on the device only
    for (const Difference& d : differences) {
        if (std::find(plan.groups.begin(), plan.groups.end(), d.group) == plan.groups.end())
            plan.groups.push_back(d.group);
        clientServer = clientServer || (d.device && d.file && listGroup(d.group) != nullptr);
        removals = removals || (d.device && !d.file);
    }
    const auto differs = [&plan](std::string_view group) {
        return std::find(plan.groups.begin(), plan.groups.end(), group) != plan.groups.end();
    };

    // The single settings: the device's, with the file's where they differ. The lists stay out, so
    // that their lines are neither built nor sent here.
    ProfileFile merged;
    for (const std::string& section : device.sections()) {
        const ListGroup* list = listGroup(section);
        for (const std::string& key : device.keys(section))
            if (list == nullptr || (list->scalarKey != nullptr && sameNoCase(key, list->scalarKey)))
                merged.write(section, key, device.read(section, key));
    }
    for (const Difference& d : differences)
        if (d.device && d.file)
            merged.write(d.group, d.item, *d.file);
    for (RestoreStep& step : restoreSteps(merged)) {
        const bool single =
            listGroup(step.group) == nullptr && differs(step.group) && step.command != "mode\r\n";
        // The client's server goes with the client mode, on the restore's line before it.
        const bool server = step.group == "SERV" && (clientServer || differs("MODE"));
        if (single || server)
            plan.steps.push_back(std::move(step));
    }

    std::vector<RestoreStep> laterRemovals;
    for (const ListGroup& list : kLists) {
        if (!differs(list.section) || std::string_view(list.section) == "ROUTE")
            continue;
        const std::vector<Entry> onDevice = list.entries(device);
        const std::vector<Entry> inFile = list.entries(file);
        std::vector<Entry> drop = removals ? missingFrom(inFile, onDevice) : std::vector<Entry>{};
        for (const Entry& entry : missingFrom(onDevice, inFile)) {
            // Where the device cannot hold both, the old entry goes just before the new one.
            for (auto it = drop.begin(); it != drop.end();) {
                if (collides(list, entry, *it)) {
                    plan.steps.push_back({removeLine(list, *it), RestoreStep::Check::Answered, list.section});
                    it = drop.erase(it);
                } else {
                    ++it;
                }
            }
            plan.steps.push_back({addLine(list, entry), RestoreStep::Check::Answered, list.section});
        }
        for (const Entry& entry : drop)
            laterRemovals.push_back({removeLine(list, entry), RestoreStep::Check::Answered, list.section});
    }
    plan.steps.insert(plan.steps.end(), laterRemovals.begin(), laterRemovals.end());

    if (differs("ROUTE")) {
        const ListGroup& routes = *listGroup("ROUTE");
        const std::vector<Entry> onDevice = routes.entries(device);
        const std::vector<Entry> inFile = routes.entries(file);
        if (!missingFrom(inFile, onDevice).empty() && removals) {
            plan.routesCleared = plan.steps.size();
            plan.steps.push_back({"route ptp;\r\n", RestoreStep::Check::Answered, "ROUTE"});
            for (RestoreStep& step : routeLines(inFile))
                plan.steps.push_back(std::move(step));
            plan.routesBack = routeLines(onDevice);
        } else {
            for (RestoreStep& step : routeLines(inFile, missingFrom(onDevice, inFile)))
                plan.steps.push_back(std::move(step));
        }
    }
    return plan;
}

} // namespace kvx::fleet
