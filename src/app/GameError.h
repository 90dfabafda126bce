#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

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

    // The text as it may be quoted in a message: UTF-8, control characters written as \xNN so that a
    // NUL cannot end the message, and cut after maxCharacters with the length that was left out.
    static std::string quote(std::u16string_view text, std::size_t maxCharacters = 200);

  private:
    bool namesLine_;
};
