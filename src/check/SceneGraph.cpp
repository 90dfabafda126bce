#include "check/SceneGraph.h"

#include <regex>

namespace {

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

void SceneGraph::addScene(const std::string& name, bool exists) {
    scenes_.emplace(name, exists);
}

void SceneGraph::addEdge(const std::string& from, const std::string& to, const std::string& label) {
    for (const auto& e : edges_)
        if (e.from == from && e.to == to && e.label == label) return;
    edges_.push_back({from, to, label});
}

std::set<std::string> SceneGraph::reachableFrom(const std::vector<std::string>& roots) const {
    std::set<std::string> seen(roots.begin(), roots.end());
    std::vector<std::string> todo(roots.begin(), roots.end());
    while (!todo.empty()) {
        std::string at = todo.back();
        todo.pop_back();
        for (const auto& e : edges_)
            if (e.from == at && seen.insert(e.to).second) todo.push_back(e.to);
    }
    return seen;
}

int SceneGraph::dayOf(const std::string& name) {
    static const std::regex kDayScene("[irgma]_([1-9])(_[01])?");
    static const std::regex kEventScene("b_([1-3])");
    std::smatch m;
    if (std::regex_match(name, m, kDayScene)) return m[1].str()[0] - '0';
    // The events of row 4 fall on days 3, 4 and 5.
    if (std::regex_match(name, m, kEventScene)) return m[1].str()[0] - '0' + 2;
    return 0;
}

void SceneGraph::writeDot(std::ostream& out) const {
    out << "digraph story {\n";
    out << "  rankdir=LR;\n";
    out << "  node [shape=box, fontname=\"Noto Sans CJK JP\"];\n";
    out << "  edge [fontname=\"Noto Sans CJK JP\", fontsize=10];\n";
    out << "  " << quoted(kTitle) << " [shape=ellipse];\n";
    out << "  " << quoted(kPanel) << " [shape=ellipse];\n";
    std::map<int, std::vector<std::string>> byDay;
    for (const auto& [name, exists] : scenes_) byDay[dayOf(name)].push_back(name);
    auto node = [&](const std::string& name, const char* indent) {
        out << indent << quoted(name);
        if (!scenes_.at(name)) {
            std::string label = quoted(name);
            label.insert(label.size() - 1, "\\n(missing)");
            out << " [style=dashed, label=" << label << "]";
        }
        out << ";\n";
    };
    for (const auto& name : byDay[0]) node(name, "  ");
    for (const auto& [day, names] : byDay) {
        if (day == 0) continue;
        out << "  subgraph cluster_day" << day << " {\n";
        out << "    label=\"day " << day << "\";\n";
        for (const auto& name : names) node(name, "    ");
        out << "  }\n";
    }
    for (const auto& e : edges_)
        out << "  " << quoted(e.from) << " -> " << quoted(e.to) << " [label=" << quoted(e.label) << "];\n";
    out << "}\n";
}
