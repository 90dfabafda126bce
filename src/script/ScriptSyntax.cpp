#include "script/ScriptSyntax.h"

#include "script/ScriptText.h"

#include <array>
#include <cstring>
#include <utility>

using scripttext::contains;
using scripttext::find;
using scripttext::from;

const char* const ScriptSyntax::kNoBlockEnd =
    "the question has no \">qstend\" line before the end of the file";
const char* const ScriptSyntax::kThirdAnswer =
    "a question has at most two answers; \">qstend\" should end it here";
const char* const ScriptSyntax::kAnswerWithoutSeparator = "an answer is a caption, \">\" and a scene name";

namespace {

using Kind = ScriptSyntax::Kind;

struct Row {
    std::u16string_view word;
    Kind kind;
};

// The command words in the order the game tests them; the first one the line contains wins, and a
// line with none is text.
constexpr std::array<Row, 16> kRows = {{{u">bgm>", Kind::Music},
                                        {u">f", Kind::DisablePanel},
                                        {u">imgf", Kind::ClearPicture},
                                        {u">img", Kind::Picture},
                                        {u">qst", Kind::Question},
                                        {u">gn", Kind::Gn},
                                        {u">cn", Kind::Cn},
                                        {u">love", Kind::Love},
                                        {u">on", Kind::On},
                                        {u">off", Kind::Off},
                                        {u">swc", Kind::Swc},
                                        {u">swb", Kind::Swb},
                                        {u">ive", Kind::Jump},
                                        {u">html", Kind::Html},
                                        {u">staff", Kind::Staff},
                                        {u">ending", Kind::Ending}}};

// Words that stop the story with the cyan prompt one line before they are acted on.
constexpr std::array<std::u16string_view, 6> kPauseWords = {u">ive",   u">game", u">ending",
                                                            u">staff", u">swc",  u">swb"};

struct Found {
    std::size_t index; // in the list of words; the list's size when the line holds none of them
    std::size_t at;    // where the word first starts in the line, from 0
};

std::u16string_view wordOf(const Row& row) {
    return row.word;
}
std::u16string_view wordOf(std::u16string_view word) {
    return word;
}

// Where the next ">" stands at or after p, or npos. The C library's byte search is far faster than a
// loop over the characters; a byte 0x3E that belongs to another character is passed over.
std::size_t nextMark(std::u16string_view line, std::size_t p) {
    const char* const bytes = reinterpret_cast<const char*>(line.data());
    const std::size_t size = line.size() * sizeof(char16_t);
    for (std::size_t at = p * sizeof(char16_t); at < size;) {
        const void* hit = std::memchr(bytes + at, '>', size - at);
        if (!hit) break;
        const std::size_t unit =
            static_cast<std::size_t>(static_cast<const char*>(hit) - bytes) / sizeof(char16_t);
        if (line[unit] == u'>') return unit;
        at = (unit + 1) * sizeof(char16_t);
    }
    return std::u16string_view::npos;
}

// The first of the words, in their order, that the line contains. Every word starts with ">", so
// only the places of a ">" are looked at, each once, rather than the line searched for every word.
template <class Word, std::size_t N>
Found firstContained(std::u16string_view line, const std::array<Word, N>& words) {
    Found found{N, std::u16string_view::npos};
    for (std::size_t p = nextMark(line, 0); p != std::u16string_view::npos && found.index > 0;
         p = nextMark(line, p + 1)) {
        const std::u16string_view rest = line.substr(p);
        // No word is a lone ">"; their second characters tell most of them apart at once.
        if (rest.size() < 2) break;
        // A word before the one found so far wins even when it starts later in the line.
        for (std::size_t i = 0; i < found.index; ++i) {
            const std::u16string_view word = wordOf(words[i]);
            if (word[1] == rest[1] && rest.starts_with(word)) {
                found = {i, p};
                break;
            }
        }
    }
    return found;
}

// An index 0..upper, or nothing.
std::optional<long> index(const std::u16string& text, long upper) {
    auto n = scripttext::toWhole(text);
    if (!n || *n < 0 || *n > upper) return std::nullopt;
    return n;
}

// A pair "a,b", cut at its first comma.
std::optional<std::pair<std::u16string, std::u16string>> pair(const std::u16string& text) {
    std::size_t comma = text.find(u',');
    if (comma == std::u16string::npos) return std::nullopt;
    return std::pair{text.substr(0, comma), text.substr(comma + 1)};
}

// The items of a condition list, cut at every ">". An empty list has no items.
std::vector<std::u16string> conditionItems(const std::u16string& list) {
    std::vector<std::u16string> items;
    if (list.empty()) return items;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = list.find(u'>', start);
        items.push_back(list.substr(start, bar == std::u16string::npos ? std::u16string::npos : bar - start));
        if (bar == std::u16string::npos) return items;
        start = bar + 1;
    }
}

// Sets the command's index from the text after the command word, or its error.
void parseIndex(ScriptSyntax::Command& c, const std::u16string& text) {
    if (auto n = index(text, 2))
        c.first = *n;
    else
        c.error = c.usage;
}

void parsePair(ScriptSyntax::Command& c, const std::u16string& text) {
    auto p = pair(text);
    auto t = p ? index(p->first, 2) : std::nullopt;
    auto u = p ? index(p->second, 3) : std::nullopt;
    if (!t || !u) {
        c.error = c.usage;
        return;
    }
    c.first = *t;
    c.second = *u;
}

void parseBranch(ScriptSyntax::Command& c, const std::u16string& line, bool pairs) {
    std::size_t p1 = find(line, u"*");
    std::size_t p2 = find(line, u"*", p1 + 1);
    if (p1 == 0 || p2 == 0 || p2 < 6) {
        c.error = c.usage;
        return;
    }
    for (const auto& item : conditionItems(from(line, p1 + 1, p2 - 6))) {
        ScriptSyntax::Condition condition;
        auto p = pairs ? pair(item) : std::optional{std::pair{item, std::u16string()}};
        auto first = p ? index(p->first, 2) : std::nullopt;
        auto second = p && pairs ? index(p->second, 3) : std::optional<long>{0};
        if (first && second) {
            condition.first = *first;
            condition.second = *second;
        } else {
            condition.error = c.usage;
        }
        c.conditions.push_back(std::move(condition));
    }
    // Scene A is the text before the first "|", scene B the text after it, or all of it without one.
    const std::u16string targets = from(line, p2 + 1);
    const std::size_t bar = targets.find(u'|');
    if (bar == std::u16string::npos) {
        c.sceneB = targets;
    } else {
        c.sceneA = targets.substr(0, bar);
        c.sceneB = targets.substr(bar + 1);
    }
}

void parseHtml(ScriptSyntax::Command& c, const std::u16string& line) {
    std::size_t p = find(line, u">", 7);
    if (p == 0) {
        c.error = c.usage;
        return;
    }
    c.name = from(line, 7, p - 7);
    c.page = from(line, p + 1);
    if (scripttext::toNumber(c.name)) {
        // A number names the character whose four on/off flags must all be on.
        c.flagGated = true;
        parseIndex(c, c.name);
    }
}

} // namespace

ScriptSyntax::Command ScriptSyntax::parse(const std::u16string& line) {
    Command c;
    if (const Found found = firstContained(line, kRows); found.index < kRows.size()) {
        c.kind = kRows[found.index].kind;
        c.word = kRows[found.index].word;
        c.wordAt = found.at + 1;
    }
    switch (c.kind) {
    case Kind::Music:
        c.name = from(line, 6);
        if (c.name == u"stop") c.kind = Kind::MusicStop;
        break;
    case Kind::Picture:
    case Kind::Jump:
        c.name = from(line, 6);
        break;
    case Kind::Gn:
        c.usage = ">gn> needs an index 0 to 2";
        parseIndex(c, from(line, 5));
        break;
    case Kind::Cn:
        c.usage = ">cn> needs an index 0 to 2";
        parseIndex(c, from(line, 5));
        break;
    case Kind::Love: {
        c.usage = ">love> needs a character 0 to 2, a comma and an amount";
        auto p = pair(from(line, 7));
        auto who = p ? index(p->first, 2) : std::nullopt;
        auto amount = p ? scripttext::toNumber(p->second) : std::nullopt;
        if (!who || !amount) {
            c.error = c.usage;
            break;
        }
        c.first = *who;
        c.amount = *amount;
        break;
    }
    case Kind::On:
        c.usage = ">on> needs t,u with t 0 to 2 and u 0 to 3";
        parsePair(c, from(line, 5));
        break;
    case Kind::Off:
        c.usage = ">off> needs t,u with t 0 to 2 and u 0 to 3";
        parsePair(c, from(line, 6));
        break;
    case Kind::Swc:
        c.usage = ">swc needs *conditions*A|B, each condition an index 0 to 2, conditions joined by >";
        parseBranch(c, line, false);
        break;
    case Kind::Swb:
        c.usage = ">swb needs *conditions*A|B, each condition t,u with t 0 to 2 and u 0 to 3, joined by >";
        parseBranch(c, line, true);
        break;
    case Kind::Html:
        c.usage = ">html> needs >html>source>page";
        parseHtml(c, line);
        break;
    default:
        break;
    }
    return c;
}

std::u16string_view ScriptSyntax::pauseWord(const std::u16string& line) {
    const Found found = firstContained(line, kPauseWords);
    return found.index < kPauseWords.size() ? kPauseWords[found.index] : std::u16string_view();
}

std::vector<std::u16string_view> ScriptSyntax::pauseWords(const std::u16string& line) {
    std::vector<std::u16string_view> words;
    for (auto word : kPauseWords)
        if (contains(line, word)) words.push_back(word);
    return words;
}

std::optional<ScriptSyntax::Answer> ScriptSyntax::answer(const std::u16string& line) {
    const std::size_t p = line.find(u'>');
    if (p == std::u16string::npos) return std::nullopt;
    return Answer{line.substr(0, p), line.substr(p + 1)};
}
