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

namespace {

// Calls onLine(bytes) for every line of bytes, without its line end.
template <class OnLine> void forEachByteLine(std::string_view bytes, OnLine onLine) {
    // CR and LF never occur inside a Shift-JIS double-byte character, so lines can be cut on bytes.
    std::size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            onLine(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) onLine(bytes.substr(start));
}

} // namespace

std::vector<std::string> TextFile::splitByteLines(const std::string& bytes) {
    std::vector<std::string> lines;
    forEachByteLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::u16string> TextFile::splitLines(const std::string& bytes) {
    std::vector<std::u16string> lines;
    forEachByteLine(bytes, [&](std::string_view line) { lines.push_back(text::fromShiftJis(line)); });
    return lines;
}

bool TextFile::open(const std::string& path) {
    close();
    std::string bytes;
    if (!readRegularFile(path, kMaxBytes, bytes, problem_)) return false;
    // The decoded lines are kept end to end in one text: a long script then takes about its own size
    // in memory rather than a string (and its allocation) a line. The file is decoded in one piece:
    // CR and LF never occur inside a double-byte character, and a bad byte before one is replaced
    // alone, so they come out as themselves, and each line reads as if decoded on its own.
    auto lines = std::make_shared<Lines>();
    std::u16string& text = lines->text;
    text::appendFromShiftJis(bytes, text);
    std::size_t kept = 0, start = 0;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines->ends.push_back(kept);
            i += (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
            start = i;
        } else {
            text[kept++] = c;
            ++i;
        }
    }
    if (start < size) lines->ends.push_back(kept);
    text.resize(kept);
    text.shrink_to_fit();
    lines->ends.shrink_to_fit();
    lines_ = std::move(lines);
    open_ = true;
    path_ = path;
    return true;
}

void TextFile::open(const TextFile& decoded) {
    lines_ = decoded.lines_;
    next_ = 0;
    open_ = decoded.open_;
    path_ = decoded.path_;
    problem_.clear();
}

void TextFile::close() {
    lines_.reset();
    next_ = 0;
    open_ = false;
}

bool TextFile::atEnd() const {
    return next_ >= lineCount();
}

std::u16string TextFile::readLine() {
    std::u16string line;
    readLine(line);
    return line;
}

void TextFile::readLine(std::u16string& line) {
    const auto& ends = lines_->ends;
    const std::size_t start = next_ == 0 ? 0 : ends[next_ - 1];
    line.assign(lines_->text, start, ends[next_] - start);
    ++next_;
}

bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& line : lines) out << text::toShiftJis(line) << "\r\n";
    return static_cast<bool>(out.flush());
}
