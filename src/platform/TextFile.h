#pragma once
#include <cstddef>
#include <string>
#include <vector>

// A Shift-JIS text file read whole and split into decoded lines. A line ends at CR LF, at a lone CR or
// at a lone LF; the end of the file is reached after the last line, so a final line end adds no
// empty line.
class TextFile {
  public:
    // Reads the file; returns false when it cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }
    bool atEnd() const { return next_ >= ends_.size(); }
    // The next line, without its line end. Reading past the end is the caller's fault.
    std::u16string readLine();
    // The same, into line (reusing its room).
    void readLine(std::u16string& line);
    // The number (from 1) of the line readLine returned last.
    std::size_t lineNumber() const { return next_; }
    const std::string& path() const { return path_; }

    static std::vector<std::u16string> splitLines(const std::string& bytes);
    // The same lines as the file's own bytes, undecoded.
    static std::vector<std::string> splitByteLines(const std::string& bytes);

  private:
    // Every line's text end to end, and where each line ends in it.
    std::u16string text_;
    std::vector<std::size_t> ends_;
    std::size_t next_ = 0;
    bool open_ = false;
    std::string path_;
};

// Writes Shift-JIS lines, each ended by CR LF.
bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines);
