#pragma once
#include "game/SceneStart.h"

#include <functional>
#include <optional>
#include <string>

class PictureLoader;

// How the window host is to play.
struct QtHostOptions {
    std::string gameDir;
    std::optional<unsigned> seed;
    bool fullscreen = false;
    // Ends the program as soon as the title screen has been painted once.
    bool exitWhenShown = false;
    // Begin a game at once at this scene.
    std::optional<SceneStart> start;
};

// Settings of the window system that must be made before the application starts (the program and the
// benchmarks make the same ones).
void prepareDesktop();

class QCoreApplication;
// The messages rumena adds in the desktop's language (Japanese, else English).
void speakThePlayersLanguage(QCoreApplication& app);

// Runs the game in its window until the player closes it; returns the exit status.
int runQtHost(int argc, char* argv[], const QtHostOptions& options);

// Lends Qt's picture decoders to a run without a window (no display needed): calls run with a loader
// and returns what it returns.
int withQtPictures(int argc, char* argv[], const std::function<int(PictureLoader&)>& run);

// The version of the Qt libraries the program runs with.
std::string qtVersion();
