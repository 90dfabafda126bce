#include "platform/TextFile.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The end of the line that starts at start: the index of its CR or LF, or the end of the bytes.
std::size_t lineEnd(const std::string& bytes, std::size_t start) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    return end == std::string::npos ? bytes.size() : end;
}

// Past the line end at end: CR LF counts as one.
std::size_t afterLineEnd(const std::string& bytes, std::size_t end) {
    if (end >= bytes.size()) return end;
    return end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

} // namespace

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& why) {
    why.clear();
    // The C library would read the name only up to a NUL and open another file.
    if (path.find('\0') != std::string::npos) {
        why = "has a NUL byte in its name";
        return false;
    }
    // Without O_NONBLOCK, opening a pipe would wait for a writer for ever; a regular file reads the same.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == EISDIR)
            why = "is a folder, not a file";
        else if (errno != ENOENT && errno != ENOTDIR)
            why = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        why = "is a folder, not a file";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        why = "is not a regular file (a pipe, a device or a socket)";
        return false;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        why = "is larger than " + std::to_string(maxBytes >> 20) + " MB";
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) return true;
        // A file that grows while it is read is still held to the limit.
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            why = "is larger than " + std::to_string(maxBytes >> 20) + " MB";
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::vector<std::string> TextFile::splitByteLines(const std::string& bytes) {
    // CR and LF never occur inside a Shift-JIS double-byte character, so lines can be cut on bytes.
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = lineEnd(bytes, start);
        lines.push_back(bytes.substr(start, end - start));
        start = afterLineEnd(bytes, end);
    }
    return lines;
}

std::vector<std::u16string> TextFile::splitLines(const std::string& bytes) {
    std::vector<std::u16string> lines;
    for (const auto& line : splitByteLines(bytes)) lines.push_back(text::fromShiftJis(line));
    return lines;
}

bool TextFile::open(const std::string& path) {
    close();
    if (!readRegularFile(path, kMaxBytes, bytes_, problem_)) {
        bytes_.clear();
        return false;
    }
    open_ = true;
    path_ = path;
    return true;
}

void TextFile::close() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    next_ = 0;
    lineNumber_ = 0;
    open_ = false;
}

std::u16string TextFile::readLine() {
    std::size_t end = lineEnd(bytes_, next_);
    std::u16string line = text::fromShiftJis(std::string_view(bytes_).substr(next_, end - next_));
    next_ = afterLineEnd(bytes_, end);
    ++lineNumber_;
    return line;
}

bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& line : lines) out << text::toShiftJis(line) << "\r\n";
    return static_cast<bool>(out.flush());
}
