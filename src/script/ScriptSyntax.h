#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the game reads a scene script line: the command it is taken for, by the fixed order of the
// command words, and its parameters at their fixed offsets. The interpreter acts on what this returns
// and rumena-check reports it, so the game and the checker never disagree about a line.
class ScriptSyntax {
  public:
    enum class Kind {
        Text,
        MusicStop,
        Music,
        DisablePanel,
        ClearPicture,
        Picture,
        Question,
        Gn,
        Cn,
        Love,
        On,
        Off,
        Swc,
        Swb,
        Jump,
        Html,
        Staff,
        Ending
    };

    // One item of a branch's condition list: an index (>swc) or a pair t,u (>swb).
    struct Condition {
        long first = 0, second = 0;
        std::string error; // empty when the item is well formed
    };

    struct Command {
        Kind kind = Kind::Text;
        std::u16string_view word;             // the command word that matched; empty for a text line
        std::size_t wordAt = 0;               // where it starts in the line, from 1
        std::u16string name;                  // music, picture or scene name; the bonus page's source
        std::u16string page;                  // the bonus page's name
        long first = 0, second = 0;           // an index, a pair t,u, or the character of >love
        double amount = 0;                    // what >love adds
        bool flagGated = false;               // >html with a character index as its source
        std::vector<Condition> conditions;    // of a branch, read left to right until one fails
        std::optional<std::u16string> sceneA; // nothing when the targets hold no "|"
        std::u16string sceneB;
        const char* usage = ""; // what the command should hold: the error message of a malformed one
        std::string error;      // set when the line cannot be carried out at all
    };

    static Command parse(const std::u16string& line);

    // The first word of the line that pauses the story one line ahead; empty when there is none.
    static std::u16string_view pauseWord(const std::u16string& line);
    // Every pause word the line holds.
    static std::vector<std::u16string_view> pauseWords(const std::u16string& line);

    // An answer line of a question: the caption before the first ">", the scene name after it.
    struct Answer {
        std::u16string caption, scene;
    };
    static std::optional<Answer> answer(const std::u16string& line);

    static constexpr std::u16string_view kBlockEnd = u">qstend";
    static constexpr int kMaxAnswers = 2;
    static const char* const kNoBlockEnd;
    static const char* const kThirdAnswer;
    static const char* const kAnswerWithoutSeparator;
};
