#pragma once
#include <optional>
#include <string>
#include <vector>

// Where an author starts the game to look at one scene: the scene, the day shown, and variables set
// to the values given. Everything else is as a new game at NORMAL has it.
struct SceneStart {
    // One variable of the game set to a value: TurnLimit, LoveThreshold, TurnCount, LoveLevels(i),
    // OnOffFlags(t,u), CnFlags(i), GnFlags(i) or VisitFlags(d).
    struct Setting {
        std::string name;
        int first = -1, second = -1; // the element's indices; -1 for a plain variable
        int value = 0;               // flags: 1 true, 0 false
    };

    std::u16string scene;
    std::optional<int> day; // 0..9, as the day label shows it
    std::vector<Setting> settings;

    // Reads "NAME=VALUE", where NAME is a variable or one element of an array variable, written as
    // the game writes it, LoveLevels(0) or OnOffFlags(1,2), or with dots, LoveLevels.0 or
    // OnOffFlags.1.2; a flag's VALUE is true, false, 1 or 0. Nothing, and why, when the text names
    // no variable or a value it cannot hold.
    static std::optional<Setting> parseSetting(const std::string& text, std::string& why);
    // The variables a setting may name, as the help lists them.
    static const char* const kNames;
};
