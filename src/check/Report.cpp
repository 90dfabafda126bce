#include "check/Report.h"

#include <algorithm>

void Report::add(const std::string& file, std::size_t line, bool isError, const std::string& message) {
    // A file named from several places (a picture of every day) is reported once.
    for (const auto& e : entries_)
        if (e.file == file && e.line == line && e.isError == isError && e.message == message) return;
    entries_.push_back({file, line, isError, message});
    ++(isError ? errors_ : warnings_);
}

void Report::error(const std::string& file, std::size_t line, const std::string& message) {
    add(file, line, true, message);
}

void Report::warning(const std::string& file, std::size_t line, const std::string& message) {
    add(file, line, false, message);
}

void Report::print(std::ostream& out, const std::string& gameDir) const {
    std::vector<Entry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    for (const auto& e : sorted) {
        out << e.file;
        if (e.line > 0) out << ':' << e.line;
        out << ": " << (e.isError ? "error" : "warning") << ": " << e.message << '\n';
    }
    auto plural = [](std::size_t n, const char* word) {
        return std::to_string(n) + ' ' + word + (n == 1 ? "" : "s");
    };
    if (errors_ == 0 && warnings_ == 0)
        out << gameDir << ": no problems found\n";
    else
        out << gameDir << ": " << plural(errors_, "error") << ", " << plural(warnings_, "warning") << '\n';
}
