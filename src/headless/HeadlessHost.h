#pragma once
#include "game/SceneStart.h"

#include <iosfwd>
#include <optional>
#include <string>

class PictureLoader;

// Runs the game without a window, driven by commands on standard input, printing what a player would
// notice outside the window as JSON lines. Returns the exit status: 0 at the end of the commands,
// 2 for a malformed command, 3 for the game's run-time error. The host lends its picture loader. With
// `at`, the game leaves the title at once for that scene.
int runHeadless(const std::string& gameDir, std::optional<unsigned> seed, PictureLoader& pictures,
                std::istream& in, std::ostream& out, std::ostream& err,
                const std::optional<SceneStart>& at = std::nullopt);
