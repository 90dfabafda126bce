#pragma once
#include <string>
#include <vector>

// A story's own name: story.txt in its game folder, a few lines "key: value" that the author edits. The
// game's rules never read it; the window's caption, the page's title, a site's app and a story's
// package take their names from it. Without the file, every name stays the game's own.
struct StoryInfo {
    static constexpr const char* kFile = "story.txt";

    std::string title;       // UTF-8, as the player sees it
    std::string author;      //
    std::string description; // a sentence or two
    // A name for the package and the site's app, in lower-case letters, digits and "-" (empty: one is
    // made from the game folder's name).
    std::string name;

    // One line of the file the reader had to pass over, and why.
    struct Problem {
        std::size_t line = 0;
        std::string text;
    };
    std::vector<Problem> problems;
    bool found = false; // whether the folder has the file

    // Reads the file of the game folder (UTF-8; Shift-JIS is taken too).
    static StoryInfo read(const std::string& gameDir);
    // The lines of a new story's file.
    static std::string sample(const std::string& title, const std::string& name);
    // A package's name for the story: the file's name, else one made from the folder's name.
    std::string packageName(const std::string& gameDir) const;
    // Whether a name is one a package may have: lower-case letters, digits and "-", starting with a
    // letter or a digit, 2 to 40 characters.
    static bool isPackageName(const std::string& name);
};
