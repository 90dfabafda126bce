#pragma once
#include "platform/StoryInfo.h"

#include <optional>
#include <ostream>
#include <string>

// A story's site: the page, the browser's engine and the game in one folder that any static web server
// serves as it is, named after the story, with a web app's manifest, its icons and a service worker that
// keeps the site for play without the network.
class SiteMaker {
  public:
    // Where the page and the browser's engine are: beside the installed program, or in this build.
    struct Sources {
        std::string page;     // index.html, the style, the modules, the service worker
        std::string module;   // rumena.js and rumena.wasm
        std::string messages; // the catalogue of rumena's own messages in Japanese (ja.po)
    };
    // The sources, or nothing with why (the engine was not built: it needs Emscripten).
    static std::optional<Sources> find(const std::string& executableFolder, std::string* why);

    SiteMaker(std::string gameDir, StoryInfo story, Sources sources);
    // Writes the site into out, made afresh; returns the problem, empty on success. Says on log how
    // large it is, and how much the page fetches before the title shows.
    std::string write(const std::string& out, std::ostream& log);

  private:
    std::string gameDir_;
    StoryInfo story_;
    Sources sources_;
};
