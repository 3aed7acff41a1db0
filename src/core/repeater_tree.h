#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The repeater network as the reply to "repeater" describes it, one link a line from the top downwards:
// "R" lines link a repeater below its parent, lines of any other type attach an end device to its parent.
// A line is its type character, one separator character and then its fields separated by "|".
namespace kvx {

struct RepeaterNode {
    enum class Kind { Repeater, EndDevice };
    std::string text;
    Kind kind = Kind::Repeater;
    std::vector<std::size_t> children; // indexes into RepeaterTree::nodes, in the order they are shown
};

struct RepeaterTree {
    std::vector<RepeaterNode> nodes;
    std::vector<std::size_t> roots;
};

// Nothing when the reply is empty or refused ("-ERR" anywhere). Otherwise the tree of the lines before the
// first empty line or the first line holding "+OK". A parent that no earlier line named becomes a root
// of its own; a repeater goes in as the first child of its parent, an end device as the last.
std::optional<RepeaterTree> repeaterTreeFrom(std::string_view reply);

} // namespace kvx
