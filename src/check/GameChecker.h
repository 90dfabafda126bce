#pragma once
#include "check/Report.h"
#include "check/SceneGraph.h"
#include "platform/StoryInfo.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Reads every file of a game folder as the game would and reports each problem before anyone plays:
// malformed commands, missing files, lines taken for commands by accident, text that is not Shift-JIS,
// scenes nothing leads to and flags nothing tests. Lines are read by the game's own parser.
class GameChecker {
  public:
    GameChecker(std::string gameDir, Report& report);

    // A game folder holds a txt folder.
    bool isGameFolder() const;
    void run();
    const SceneGraph& graph() const { return graph_; }
    // The story's own name, from its story.txt.
    const StoryInfo& story() const { return story_; }

  private:
    struct Place {
        std::string file;
        std::size_t line = 0;
    };
    // A file of the game folder looked up as the game looks it up.
    struct Found {
        bool exists = false;
        bool exact = false;
        std::string rel; // the path found, relative to the game folder
    };
    struct FlagUse {
        std::optional<Place> set, tested;
    };

    std::string display(const std::string& rel) const;
    Found lookUp(const std::string& rel) const;
    void readTextFiles();
    void checkEncoding(const std::string& rel, const std::string& bytes);
    void checkCommandList();
    void checkHints();
    void checkReservedFiles();
    void checkScene(const std::string& rel);
    void checkQuestion(const std::string& rel, const std::string& scene, std::size_t at, std::size_t& next);
    void checkPanel();
    void checkReachable();
    void checkFlags();
    void checkMedia();
    void checkStory();

    // A scene named by a line: reports it when missing, and returns its node in the graph.
    // `via` says how the command panel gets there, for the files it names.
    std::string sceneRef(const std::u16string& name, const Place& at, const std::string& via = "");
    void pictureRef(const std::u16string& name, const Place& at, const std::string& via = "");
    void musicRef(const std::u16string& name, const Place& at);
    // A file the game needs whose absence no line names: reported at the file's own path.
    bool needed(const std::string& rel, bool isError, const std::string& why);

    std::string root_;
    StoryInfo story_;
    Report& report_;
    SceneGraph graph_;
    std::map<std::string, std::vector<std::u16string>> texts_; // txt files by path, decoded
    std::map<std::string, std::string> bytes_;                 // the same, as read, until checked
    std::vector<std::string> scenes_;                          // the txt files that are scenes
    std::vector<std::u16string> places_;                       // the lines of com.dat
    std::map<std::string, std::string> bonusSources_;          // node -> first >html naming it
    std::array<FlagUse, 3> gn_;
    std::array<std::array<FlagUse, 4>, 3> onOff_;
    std::array<FlagUse, 3> love_;
};
