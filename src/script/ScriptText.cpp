#include "script/ScriptText.h"

#include <cmath>

namespace scripttext {

std::u16string from(const std::u16string& s, std::size_t start) {
    return start == 0 || start > s.size() ? std::u16string() : s.substr(start - 1);
}

std::u16string from(const std::u16string& s, std::size_t start, std::size_t length) {
    return start == 0 || start > s.size() ? std::u16string() : s.substr(start - 1, length);
}

std::size_t find(const std::u16string& s, std::u16string_view what, std::size_t start) {
    if (start == 0) start = 1;
    if (start > s.size() + 1) return 0;
    std::size_t p = s.find(what, start - 1);
    return p == std::u16string::npos ? 0 : p + 1;
}

bool contains(const std::u16string& s, std::u16string_view what) {
    return s.find(what) != std::u16string::npos;
}

std::optional<double> toNumber(const std::u16string& s) {
    std::size_t i = 0, n = s.size();
    auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    while (i < n && isSpace(s[i])) ++i;
    while (n > i && isSpace(s[n - 1])) --n;
    if (i == n) return std::nullopt;
    bool negative = false;
    if (s[i] == u'+' || s[i] == u'-') negative = s[i++] == u'-';
    double value = 0;
    bool digits = false;
    for (; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, digits = true) value = value * 10 + (s[i] - u'0');
    if (i < n && s[i] == u'.') {
        double scale = 0.1;
        for (++i; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, scale /= 10, digits = true)
            value += (s[i] - u'0') * scale;
    }
    if (!digits || i != n) return std::nullopt;
    return negative ? -value : value;
}

std::optional<long> toWhole(const std::u16string& s) {
    auto number = toNumber(s);
    if (!number || std::fabs(*number) > 2147483647.0) return std::nullopt;
    return static_cast<long>(std::nearbyint(*number));
}

} // namespace scripttext
