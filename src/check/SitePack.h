#pragma once
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// A game folder as the page fetches it: the music as files of their own (an <audio> plays them as they
// come), everything else in two packs. The first holds what the title and the opening scene need (the
// text, the title card, the blank picture and the opening's pictures), so that the title shows, and the
// story starts, before the other pictures arrive. A picture stored under several names is stored once.
// What play-throughs wrote into the folder (the save slot, the bonus pages) stays out.
class SitePack {
  public:
    explicit SitePack(std::string gameDir);

    // Reads the folder; returns the problem, empty on success.
    std::string read();

    struct Pack {
        std::string file; // its name in the site
        std::string bytes;
        nlohmann::json files = nlohmann::json::array(); // [path, offset, size] of each file in it
    };
    const std::vector<Pack>& packs() const { return packs_; }
    // The music: each path inside the game folder.
    const std::vector<std::string>& music() const { return music_; }
    // The files left out, and the copies of a picture stored once.
    std::size_t leftOut() const { return leftOut_; }
    std::size_t sharedCopies() const { return shared_; }

  private:
    std::vector<std::string> bonusPages() const;
    std::vector<std::string> openingPictures() const;

    std::string root_;
    std::vector<Pack> packs_;
    std::vector<std::string> music_;
    std::size_t leftOut_ = 0, shared_ = 0;
};
