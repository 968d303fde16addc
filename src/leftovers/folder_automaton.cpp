#include "leftovers/folder_automaton.h"

#include <queue>

namespace vorlix {

namespace {

bool only_blanks_from(const std::u16string& text, std::size_t from) {
    for (auto at = from; at < text.size(); ++at)
        if (text[at] > u' ') return false;
    return true;
}

}  // namespace

bool ends_at_path_boundary(const std::u16string& text, std::size_t end) {
    if (end > 0 && end <= text.size() && text[end - 1] == u'\\') return true;
    return (end < text.size() && text[end] == u'\\') || only_blanks_from(text, end);
}

bool claims_at_boundary(const std::u16string& text, const std::u16string& part) {
    if (part.empty()) return false;
    for (auto at = text.find(part); at != std::u16string::npos; at = text.find(part, at + 1))
        if (ends_at_path_boundary(text, at + part.size())) return true;
    return false;
}

FolderAutomaton::FolderAutomaton(const StringList& folders) : nodes(1) {
    for (const auto& folder : folders)
        if (!folder.empty()) insert(folder);
    link_failures();
}

std::int32_t FolderAutomaton::child(std::int32_t node, char16_t unit) const {
    const auto found = edges.find(edge_key(node, unit));
    return found == edges.end() ? -1 : found->second;
}

void FolderAutomaton::insert(const std::u16string& folder) {
    std::int32_t node = 0;
    for (const char16_t unit : folder) {
        auto next = child(node, unit);
        if (next < 0) {
            next = static_cast<std::int32_t>(nodes.size());
            nodes.emplace_back();
            nodes[static_cast<std::size_t>(node)].children.push_back(next);
            edges.emplace(edge_key(node, unit), next);
        }
        node = next;
    }
    nodes[static_cast<std::size_t>(node)].ends_folder = true;
}

void FolderAutomaton::link_failures() {
    // The unit that leads into each node, to follow the parent's failure chain.
    std::vector<char16_t> unit_into(nodes.size(), 0);
    for (const auto& [key, node] : edges) unit_into[static_cast<std::size_t>(node)] = static_cast<char16_t>(key & 0xFFFF);

    std::queue<std::int32_t> pending;
    for (const auto first : nodes[0].children) pending.push(first);  // their failure is the root
    while (!pending.empty()) {
        const auto parent = pending.front();
        pending.pop();
        const auto& parent_node = nodes[static_cast<std::size_t>(parent)];
        for (const auto next : parent_node.children) {
            const auto unit = unit_into[static_cast<std::size_t>(next)];
            auto fallback = parent_node.fail;
            while (fallback != 0 && child(fallback, unit) < 0) fallback = nodes[static_cast<std::size_t>(fallback)].fail;
            const auto target = child(fallback, unit);
            auto& node = nodes[static_cast<std::size_t>(next)];
            node.fail = target >= 0 ? target : 0;
            // Breadth first: the failure target's flag is final already.
            node.ends_folder = node.ends_folder || nodes[static_cast<std::size_t>(node.fail)].ends_folder;
            pending.push(next);
        }
    }
}

bool FolderAutomaton::claims(const std::u16string& text) const {
    std::int32_t node = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = text[at];
        auto next = child(node, unit);
        while (next < 0 && node != 0) {
            node = nodes[static_cast<std::size_t>(node)].fail;
            next = child(node, unit);
        }
        node = next < 0 ? 0 : next;
        // Every folder ending here ends with this same unit, so the boundary
        // test is the same for all of them.
        if (nodes[static_cast<std::size_t>(node)].ends_folder && ends_at_path_boundary(text, at + 1)) return true;
    }
    return false;
}

}  // namespace vorlix
