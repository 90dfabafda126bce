#include "platform/TextFile.h"

#include "platform/TextCodec.h"

#include <fstream>

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
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return false;
    // The decoded lines are kept end to end in one text: a long script then takes about its own size
    // in memory rather than a string (and its allocation) a line.
    text_.reserve(bytes.size());
    forEachByteLine(bytes, [&](std::string_view line) {
        text::appendFromShiftJis(line, text_);
        ends_.push_back(text_.size());
    });
    text_.shrink_to_fit();
    ends_.shrink_to_fit();
    open_ = true;
    path_ = path;
    return true;
}

void TextFile::close() {
    text_.clear();
    text_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
    next_ = 0;
    open_ = false;
}

std::u16string TextFile::readLine() {
    std::u16string line;
    readLine(line);
    return line;
}

void TextFile::readLine(std::u16string& line) {
    const std::size_t start = next_ == 0 ? 0 : ends_[next_ - 1];
    line.assign(text_, start, ends_[next_] - start);
    ++next_;
}

bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& line : lines) out << text::toShiftJis(line) << "\r\n";
    return static_cast<bool>(out.flush());
}
