#include "check/PoCatalogue.h"

#include <fstream>

namespace {

// The text of one quoted string of the file, its escapes undone.
std::string unquoted(const std::string& line) {
    const auto first = line.find('"'), last = line.rfind('"');
    if (first == std::string::npos || last <= first) return {};
    std::string out;
    for (std::size_t i = first + 1; i < last; ++i) {
        char c = line[i];
        if (c == '\\' && i + 1 < last) {
            c = line[++i];
            c = c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
        out += c;
    }
    return out;
}

} // namespace

std::map<std::string, std::string> readPoCatalogue(const std::string& path) {
    std::map<std::string, std::string> catalogue;
    std::ifstream in(path);
    std::string id, str, *field = nullptr;
    auto keep = [&] {
        if (!id.empty() && !str.empty()) catalogue[id] = str;
        id.clear(), str.clear(), field = nullptr;
    };
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("msgctxt", 0) == 0 || line.rfind("msgid ", 0) == 0) {
            if (line.rfind("msgid ", 0) == 0 && (!str.empty() || field == &str)) keep();
            if (line.rfind("msgctxt", 0) == 0) {
                keep();
                field = nullptr;
                continue;
            }
            field = &id;
            *field = unquoted(line);
        } else if (line.rfind("msgstr ", 0) == 0) {
            field = &str;
            *field = unquoted(line);
        } else if (!line.empty() && line[0] == '"' && field) {
            *field += unquoted(line);
        } else if (line.empty()) {
            keep();
        }
    }
    keep();
    return catalogue;
}
