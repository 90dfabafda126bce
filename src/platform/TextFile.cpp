#include "platform/TextFile.h"

#include "platform/TextCodec.h"

#include <fstream>
#include <iterator>

std::vector<std::string> TextFile::splitByteLines(const std::string& bytes) {
    // CR and LF never occur inside a Shift-JIS double-byte character, so lines can be cut on bytes.
    std::vector<std::string> lines;
    std::size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::u16string> TextFile::splitLines(const std::string& bytes) {
    std::vector<std::u16string> lines;
    for (const auto& line : splitByteLines(bytes)) lines.push_back(text::fromShiftJis(line));
    return lines;
}

bool TextFile::open(const std::string& path) {
    close();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    lines_ = splitLines(bytes);
    open_ = true;
    path_ = path;
    return true;
}

void TextFile::close() {
    lines_.clear();
    next_ = 0;
    open_ = false;
}

std::u16string TextFile::readLine() {
    return lines_[next_++];
}

bool writeTextFile(const std::string& path, const std::vector<std::u16string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& line : lines) out << text::toShiftJis(line) << "\r\n";
    return static_cast<bool>(out.flush());
}
