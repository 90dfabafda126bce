#pragma once
#include <optional>
#include <string>

// Runs the game in its window until the player closes it; returns the exit status. With exitWhenShown
// the program ends as soon as the title screen has been painted once.
int runQtHost(int argc, char* argv[], const std::string& gameDir, std::optional<unsigned> seed,
              bool exitWhenShown = false);
