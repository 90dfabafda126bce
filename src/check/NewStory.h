#pragma once
#include <string>

// A new game folder to start a story from: every scene the command panel can reach with a placeholder
// line, the title card and the pictures drawn here, silent music, help and hints that say where to
// edit. It plays from the title to the staff roll and back, and the checker finds nothing in it.
class NewStory {
  public:
    explicit NewStory(std::string dir) : dir_(std::move(dir)) {}
    // Writes the folder, which must not exist or be empty. Returns an empty string on success, else
    // what went wrong.
    std::string write() const;

  private:
    std::string dir_;
};
