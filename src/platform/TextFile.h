#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A Shift-JIS text file read whole and split into decoded lines. A line ends at CR LF, at a lone CR or
// at a lone LF; the end of the file is reached after the last line, so a final line end adds no
// empty line. Lines are decoded as they are read, so a file of many lines costs its bytes and no more.
// Copies share the decoded lines: a copy is a second reader of the same text, each with its own place.
class TextFile {
  public:
    // The largest text file read: a game's scripts and lists are far smaller, and a file that is not
    // one of them must not take the machine's memory.
    static constexpr std::size_t kMaxBytes = 64u << 20;

    // Reads the file; returns false when it cannot be opened. Only a regular file is read: a folder,
    // a pipe or a device is refused without waiting on it.
    bool open(const std::string& path);
    // Opens the text another reader decoded from path, without reading the file again.
    void open(const TextFile& decoded);
    void close();
    bool isOpen() const { return open_; }
    bool atEnd() const;
    // The next line, without its line end. Reading past the end is the caller's fault.
    std::u16string readLine();
    // The same, into line (reusing its room).
    void readLine(std::u16string& line);
    // The number (from 1) of the line readLine returned last.
    std::size_t lineNumber() const { return next_; }
    // Goes on reading after line n (0: from the first line); n must not pass the last line.
    void seek(std::size_t n) { next_ = n; }
    std::size_t lineCount() const { return lines_ ? lines_->ends.size() : 0; }
    const std::string& path() const { return path_; }
    // Why the last open failed, for the error message: empty when the file is simply missing.
    const std::string& problem() const { return problem_; }

    static std::vector<std::u16string> splitLines(const std::string& bytes);
    // The same lines as the file's own bytes, undecoded.
    static std::vector<std::string> splitByteLines(const std::string& bytes);

  private:
    // Every line's text end to end, and where each line ends in it.
    struct Lines {
        std::u16string text;
        std::vector<std::size_t> ends;
    };
    std::shared_ptr<const Lines> lines_;
    std::size_t next_ = 0;
    bool open_ = false;
    std::string path_;
    std::string problem_;
};

// Reads a regular file of at most maxBytes whole. On failure why says what is wrong with it ("is a
// folder", "is not a regular file", ...), or stays empty when there is no such file.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& why);

// Writes Shift-JIS lines, each ended by CR LF.
bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines);
