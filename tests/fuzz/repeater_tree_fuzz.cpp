#include "core/repeater_tree.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// Any reply: no read outside it, a refusal builds nothing, and what is built is a forest in which every
// node hangs exactly once, with texts that carry no line ending and at most two nodes a line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::optional<kvx::RepeaterTree> tree = kvx::repeaterTreeFrom(reply);
    if (!tree)
        return 0;
    if (reply.find("-ERR") != std::string_view::npos)
        std::abort();
    std::vector<int> seen(tree->nodes.size(), 0);
    std::vector<std::size_t> pending(tree->roots.begin(), tree->roots.end());
    while (!pending.empty()) {
        const std::size_t node = pending.back();
        pending.pop_back();
        if (node >= seen.size() || seen[node]++ != 0)
            std::abort();
        pending.insert(pending.end(), tree->nodes[node].children.begin(), tree->nodes[node].children.end());
    }
    std::size_t textSize = 0;
    for (std::size_t i = 0; i < tree->nodes.size(); ++i) {
        const kvx::RepeaterNode& node = tree->nodes[i];
        if (seen[i] != 1 || node.text.find_first_of("\r\n") != std::string::npos)
            std::abort();
        if (node.kind == kvx::RepeaterNode::Kind::EndDevice && !node.children.empty())
            std::abort();
        textSize += node.text.size();
    }
    // Each line gives at most two nodes, and each node at most its line's bytes and the brackets.
    if (tree->nodes.size() > 2 * (size + 1) || textSize > tree->nodes.size() * 6 + 2 * size)
        std::abort();
    return 0;
}
