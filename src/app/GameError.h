#pragma once
#include <stdexcept>
#include <string>

// The run-time error that ends the game: a missing data file or a malformed script command. Its
// message names the file, the line and what was expected, for the story's author.
class GameError : public std::runtime_error {
  public:
    explicit GameError(const std::string& message, bool namesLine = false)
        : std::runtime_error(message), namesLine_(namesLine) {}

    // Whether the message already names the script line at fault.
    bool namesLine() const { return namesLine_; }

    // "txt/opn.dat, line 12: >gn>x: >gn> needs an index 0 to 2"
    static GameError atLine(const std::string& file, std::size_t line, const std::u16string& text,
                            const std::string& expected);
    // "txt/com.dat: the file cannot be opened"
    static GameError inFile(const std::string& file, const std::string& problem);

  private:
    bool namesLine_;
};
