#include "platform/StoryInfo.h"

#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

StoryInfo StoryInfo::read(const std::string& gameDir) {
    StoryInfo info;
    std::string bytes, why;
    if (!readRegularFile((std::filesystem::path(gameDir) / kFile).string(), 64 * 1024, bytes, why)) {
        if (!why.empty()) info.problems.push_back({0, "the file " + why});
        return info;
    }
    info.found = true;
    // An author's editor writes UTF-8; the game's own files are Shift-JIS, which is taken too.
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    if (!text::isUtf8(bytes)) bytes = text::toUtf8(text::fromShiftJis(bytes));
    std::size_t number = 0;
    for (const std::string& raw : TextFile::splitByteLines(bytes)) {
        ++number;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#') continue;
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            info.problems.push_back(
                {number, "a line is \"key: value\" (title, author, description or name)"});
            continue;
        }
        std::string key = trimmed(line.substr(0, colon));
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
        const std::string value = trimmed(line.substr(colon + 1));
        std::string* field = key == "title"         ? &info.title
                             : key == "author"      ? &info.author
                             : key == "description" ? &info.description
                             : key == "name"        ? &info.name
                                                    : nullptr;
        if (!field) {
            info.problems.push_back(
                {number,
                 "\"" + key + "\" is no key of the story's file (title, author, description or name)"});
            continue;
        }
        if (!field->empty())
            info.problems.push_back({number, "\"" + key + "\" is given twice; the last one counts"});
        *field = value;
        if (key == "name" && !isPackageName(value)) {
            info.problems.push_back(
                {number, "the name \"" + value +
                             "\" is not one a package may have: 2 to 40 lower-case letters, "
                             "digits and \"-\""});
            info.name.clear();
        }
    }
    if (info.title.empty()) info.problems.push_back({0, "the story has no title (a line \"title: ...\")"});
    return info;
}

bool StoryInfo::isPackageName(const std::string& name) {
    if (name.size() < 2 || name.size() > 40 || !std::isalnum(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

std::string StoryInfo::packageName(const std::string& gameDir) const {
    if (!name.empty()) return name;
    std::string made;
    std::filesystem::path folder = std::filesystem::path(gameDir).lexically_normal();
    if (folder.filename().empty()) folder = folder.parent_path();
    for (unsigned char c : folder.filename().string()) {
        if (std::isalnum(c))
            made += static_cast<char>(std::tolower(c));
        else if (!made.empty() && made.back() != '-')
            made += '-';
    }
    while (!made.empty() && made.back() == '-') made.pop_back();
    return isPackageName(made) ? made : "story";
}

std::string StoryInfo::sample(const std::string& title, const std::string& name) {
    return "# The story's own name, in UTF-8: the window's caption, the page's title, and the names of a "
           "site\r\n"
           "# made with rumena-check --site and of a package made with --package. The game does not read "
           "it.\r\n"
           "title: " +
           title +
           "\r\n"
           "author: \r\n"
           "description: \r\n"
           "# The package's and the site's name: lower-case letters, digits and \"-\".\r\n"
           "name: " +
           name + "\r\n";
}
