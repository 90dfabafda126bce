#pragma once
#include <string>
#include <vector>

// A game folder of the fuzz run's own, written afresh for each input, and the headless driver played
// over it in this process.
class FuzzGame {
  public:
    FuzzGame();
    // Empties the folder and writes the given files (path inside the folder, bytes).
    void reset(const std::vector<std::pair<std::string, std::string>>& files);
    // Plays the driver commands over the folder; returns the driver's exit status.
    int play(const std::string& driver);
    const std::string& dir() const { return dir_; }

  private:
    std::string dir_;
};

// The parts of a fuzz input cut at each separator line "%%"; missing parts are empty.
std::vector<std::string> fuzzParts(const char* data, std::size_t size, std::size_t count);

// The exit statuses the driver documents: 0 played through, 2 a malformed driver command, 3 the
// game's run-time error. Anything else is a fault: the fuzz run stops on it.
void expectDocumentedStatus(int status);
