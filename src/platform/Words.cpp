#include "platform/Words.h"

std::string words(const Catalogue& catalogue, const std::string& english,
                  std::initializer_list<std::string> parts) {
    std::string text = catalogue ? catalogue(english) : english;
    if (text.empty()) text = english;
    int n = 0;
    for (const std::string& part : parts) {
        const std::string mark = "%" + std::to_string(++n);
        if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), part);
    }
    return text;
}
