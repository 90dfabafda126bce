#pragma once
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// The scenes of a story and what leads from one to the next, written as a Graphviz graph: a node a
// scene, grouped by calendar day where the name gives one and the days in rows of three, an edge for
// each jump, branch, answer and command-panel choice, labelled with what takes it.
class SceneGraph {
  public:
    static constexpr const char* kTitle = "(title screen)";
    static constexpr const char* kPanel = "(command panel)";

    void addScene(const std::string& name, bool exists);
    void addEdge(const std::string& from, const std::string& to, const std::string& label);

    // The scenes reachable from the given ones along the edges.
    std::set<std::string> reachableFrom(const std::vector<std::string>& roots) const;

    void writeDot(std::ostream& out) const;
    // Every scene named, with whether its file exists.
    const std::map<std::string, bool>& scenes() const { return scenes_; }

    // The calendar day a scene name gives ("i_3", "i_3a", "m_9_0", "b_1" is day 3), or 0.
    static int dayOf(const std::string& name);

  private:
    struct Edge {
        std::string from, to, label;
    };
    std::map<std::string, bool> scenes_; // name -> whether its file exists
    std::vector<Edge> edges_;
};
