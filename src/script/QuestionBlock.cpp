#include "script/QuestionBlock.h"

QuestionBlock QuestionBlock::read(const std::u16string& line, const std::size_t& number,
                                  const std::function<void()>& advance) {
    QuestionBlock block;
    // The line after the question is always taken as an answer, even ">qstend"; the end is looked for
    // after each answer.
    do {
        if (number == 0) {
            block.error = ScriptSyntax::kNoBlockEnd;
            return block;
        }
        if (static_cast<int>(block.answers.size()) == ScriptSyntax::kMaxAnswers) {
            block.error = ScriptSyntax::kThirdAnswer;
            block.errorLine = number;
            return block;
        }
        // The caption is cut at the first ">"; the scene name is everything after it, further ">"
        // included, and is used as it stands.
        const auto answer = ScriptSyntax::answer(line);
        if (!answer) {
            block.error = ScriptSyntax::kAnswerWithoutSeparator;
            block.errorLine = number;
            return block;
        }
        block.answers.push_back({*answer, number});
        advance();
    } while (line != ScriptSyntax::kBlockEnd);
    return block;
}
