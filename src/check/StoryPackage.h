#pragma once
#include "platform/StoryInfo.h"

#include <ostream>
#include <string>

// A story as a Debian package of its own, for any architecture: the game folder under
// share/rumena/games/NAME, a desktop entry that plays it with rumena (which it depends on) and an icon
// from its title card. What play-throughs wrote into the folder stays out.
class StoryPackage {
  public:
    StoryPackage(std::string gameDir, StoryInfo story)
        : gameDir_(std::move(gameDir)), story_(std::move(story)) {}
    // Builds the package into the folder out with dpkg-deb; returns the problem, empty on success. Says
    // on log the file made.
    std::string write(const std::string& out, std::ostream& log);

  private:
    std::string gameDir_;
    StoryInfo story_;
};
