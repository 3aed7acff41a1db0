#include "repeater_tree.h"

#include "core/status_lines.h"

#include <algorithm>
#include <utility>

namespace kvx {
namespace {

constexpr std::size_t kFieldsPosition = 2;
constexpr std::size_t kRepeaterFields = 4;  // parent, child, a field not shown, the shown field
constexpr std::size_t kEndDeviceFields = 3; // parent, device, the shown field

// Each search for the next "|" starts one character into the field, so only the first field can be
// empty; a field whose "|" is missing runs to the end of the line and leaves the fields after it empty.
std::vector<std::string_view> cutFields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields(count);
    std::size_t start = std::min(kFieldsPosition, line.size());
    std::size_t searchFrom = start;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t bar = i + 1 < count ? line.find('|', searchFrom) : std::string_view::npos;
        fields[i] = line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
        searchFrom = bar + 2;
    }
    return fields;
}

std::string itemText(std::string_view name, std::string_view shown) {
    std::string text(name);
    text.append(" ( ").append(shown).append(" )");
    return text;
}

// Names that may receive children, with their nodes; the first entry of a name wins.
class NodeTable {
public:
    std::optional<std::size_t> find(std::string_view name) const {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                     [name](const auto& entry) { return entry.first == name; });
        return it == m_entries.end() ? std::nullopt : std::optional(it->second);
    }
    void add(std::string_view name, std::size_t node) { m_entries.emplace_back(std::string(name), node); }

private:
    std::vector<std::pair<std::string, std::size_t>> m_entries;
};

std::size_t addNode(RepeaterTree& tree, std::string text, RepeaterNode::Kind kind) {
    tree.nodes.push_back({std::move(text), kind, {}});
    return tree.nodes.size() - 1;
}

} // namespace

std::optional<RepeaterTree> repeaterTreeFrom(std::string_view reply) {
    if (reply.empty() || reply.find("-ERR") != std::string_view::npos)
        return std::nullopt;
    RepeaterTree tree;
    NodeTable table;
    for (std::string_view line = takeLine(reply); !line.empty() && line.find("+OK") == std::string_view::npos;
         line = takeLine(reply)) {
        const bool repeater = line[0] == 'R';
        const std::vector<std::string_view> fields =
            cutFields(line, repeater ? kRepeaterFields : kEndDeviceFields);
        std::optional<std::size_t> parent = table.find(fields[0]);
        if (!parent) {
            parent = addNode(tree, std::string(fields[0]), RepeaterNode::Kind::Repeater);
            tree.roots.push_back(*parent);
            table.add(fields[0], *parent);
        }
        if (repeater) {
            const std::size_t child =
                addNode(tree, itemText(fields[1], fields[3]), RepeaterNode::Kind::Repeater);
            auto& siblings = tree.nodes[*parent].children;
            siblings.insert(siblings.begin(), child);
            table.add(fields[1], child);
        } else {
            const std::size_t child =
                addNode(tree, itemText(fields[1], fields[2]), RepeaterNode::Kind::EndDevice);
            tree.nodes[*parent].children.push_back(child);
        }
    }
    return tree;
}

} // namespace kvx
