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
    // A meeting's own scenes ("i_2a", "m_8b") fall on its day too.
    static const std::regex kDayScene("[irgma]_([1-9])(_[01]|[a-z]+)?");
    static const std::regex kEventScene("b_([1-3])[a-z]*");
    std::smatch m;
    if (std::regex_match(name, m, kDayScene)) return m[1].str()[0] - '0';
    // The events of row 4 fall on days 3, 4 and 5.
    if (std::regex_match(name, m, kEventScene)) return m[1].str()[0] - '0' + 2;
    return 0;
}

namespace {

// The days stand in rows of three, read left to right like the calendar, so that the map is wider than
// tall, as a screen is.
constexpr int kDaysInARow = 3;

std::string dayPanel(int day) {
    return "(command panel, day " + std::to_string(day) + ")";
}

} // namespace

void SceneGraph::writeDot(std::ostream& out) const {
    // Each day has a panel node of its own that leads to that day's scenes, and a scene that ends on the
    // command panel has a double border rather than an edge back to it: edges to and from one panel
    // node would cross the whole map.
    std::set<std::string> backToPanel;
    for (const auto& e : edges_)
        if (e.to == kPanel) backToPanel.insert(e.from);
    out << "digraph story {\n";
    out << "  rankdir=LR;\n";
    out << "  newrank=true;\n";
    out << "  label=\"double border: the scene ends on the command panel\";\n";
    out << "  node [shape=box, fontname=\"Noto Sans CJK JP\"];\n";
    out << "  edge [fontname=\"Noto Sans CJK JP\", fontsize=10];\n";
    out << "  " << quoted(kTitle) << " [shape=ellipse];\n";
    out << "  " << quoted(kPanel) << " [shape=ellipse];\n";
    std::map<int, std::vector<std::string>> byDay;
    for (const auto& [name, exists] : scenes_) byDay[dayOf(name)].push_back(name);
    auto node = [&](const std::string& name, const char* indent) {
        out << indent << quoted(name);
        std::vector<std::string> attributes;
        if (!scenes_.at(name)) {
            std::string label = quoted(name);
            label.insert(label.size() - 1, "\\n(missing)");
            attributes.push_back("style=dashed, label=" + label);
        }
        if (backToPanel.count(name)) attributes.push_back("peripheries=2");
        for (std::size_t i = 0; i < attributes.size(); ++i) out << (i ? ", " : " [") << attributes[i];
        out << (attributes.empty() ? "" : "]") << ";\n";
    };
    for (const auto& name : byDay[0]) node(name, "  ");
    for (int day = 1; day <= 9; ++day) {
        out << "  subgraph cluster_day" << day << " {\n";
        out << "    label=\"day " << day << "\";\n";
        out << "    " << quoted(dayPanel(day)) << " [shape=ellipse, label=" << quoted(kPanel) << "];\n";
        for (const auto& name : byDay[day]) node(name, "    ");
        out << "  }\n";
    }
    static const std::regex kDayInLabel(", day [1-9]");
    for (const auto& e : edges_) {
        if (e.to == kPanel) continue;
        const int day = e.from == kPanel ? dayOf(e.to) : 0;
        const std::string from = day ? dayPanel(day) : e.from;
        const std::string label = day ? std::regex_replace(e.label, kDayInLabel, "") : e.label;
        out << "  " << quoted(from) << " -> " << quoted(e.to) << " [label=" << quoted(label) << "];\n";
    }
    // Invisible edges keep the rows: each day's scenes before the next day's panel, and the first day of
    // every row level with the panel.
    for (int day = 1; day <= 9; ++day) {
        if (day % kDaysInARow == 1)
            out << "  " << quoted(kPanel) << " -> " << quoted(dayPanel(day)) << " [style=invis];\n";
        if (day % kDaysInARow == 0 || day == 9) continue;
        out << "  " << quoted(dayPanel(day)) << " -> " << quoted(dayPanel(day + 1)) << " [style=invis];\n";
        for (const auto& name : byDay[day])
            out << "  " << quoted(name) << " -> " << quoted(dayPanel(day + 1)) << " [style=invis];\n";
    }
    out << "}\n";
}
