#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// The problems found in a game folder, printed as a compiler prints them: "file:line: error: message",
// so that an editor can jump to each one.
class Report {
  public:
    // line 0 means the file as a whole.
    void error(const std::string& file, std::size_t line, const std::string& message);
    void warning(const std::string& file, std::size_t line, const std::string& message);

    std::size_t errors() const { return errors_; }
    std::size_t warnings() const { return warnings_; }

    // Every problem, by file and line, then the summary line.
    void print(std::ostream& out, const std::string& gameDir) const;

  private:
    struct Entry {
        std::string file;
        std::size_t line;
        bool isError;
        std::string message;
    };
    void add(const std::string& file, std::size_t line, bool isError, const std::string& message);
    std::vector<Entry> entries_;
    std::size_t errors_ = 0, warnings_ = 0;
};
