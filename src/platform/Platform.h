#pragma once
#include <functional>
#include <string>

class MusicDevice;
class PictureLoader;
class Desktop;
class RandomSource;

// The services a host lends the engine. Everything else the engine does itself.
struct Platform {
    MusicDevice& music;
    PictureLoader& pictures;
    Desktop& desktop;
    RandomSource& random;
    // Seed for the random generator at start-up (the host reads the clock, or takes a fixed seed).
    unsigned randomSeed = 0;
    // Hears the text of every music command the game sends (the headless driver prints it); may be empty.
    std::function<void(const std::string& command)> musicHeard;
    // The player's language for the messages rumena adds (empty: English).
    std::function<std::string(const std::string& english)> catalogue;
    // Writes a bonus page whole (empty: onto the disk, through replaceWholeFile). The route search
    // plays a story thousands of times and keeps the author's folder as it was.
    std::function<bool(const std::string& path, const std::string& bytes, std::string& why)> writePage;
};
