// Timed questions: a scene ends with one or two answers to click, and a bar that grows across the
// countdown strip. The answer clicked, or the last answer when the time runs out, names the next scene.
#include "app/Fom.h"
#include "platform/RandomSource.h"
#include "script/QuestionBlock.h"

#include <string_view>

namespace {

constexpr int kTickMs = 300;
// Thirty ticks of 300 ms: nine seconds to choose.
constexpr int kTicks = 30;

} // namespace

void Fom::BeginQuestion() {
    // The block is read through the interpreter's own read-ahead: NextLine holds the line after the
    // question line, and every line keeps its number for the error messages.
    const std::size_t questionLine = script.currentLineNumber;
    const std::u16string questionText = script.CurrentLine;
    auto& q = question;
    const QuestionBlock block =
        QuestionBlock::read(script.NextLine, script.nextLineNumber, [&] { readNextLine(); });
    if (!block.error.empty()) {
        if (block.errorLine == 0) scriptError(block.error, questionLine, questionText);
        scriptError(block.error, block.errorLine, script.NextLine);
    }
    const int count = static_cast<int>(block.answers.size());
    for (int i = 0; i < count; ++i) {
        q.QstTargets[i] = block.answers[i].answer.scene;
        QstLBl[i]->caption = block.answers[i].answer.caption;
    }

    // A one-answer block leaves nothing of an earlier question in the second slot: the answer is then
    // the only one, and the time running out takes it too.
    q.answers = count;
    if (count == 1) {
        QstLBl[1]->caption.clear();
        q.QstTargets[1].clear();
    }

    // A single answer sits at the second slot; two swap their slots half of the time. The boxes stay.
    q.swap = 0;
    if (!QstLBl[0]->caption.empty() && !QstLBl[1]->caption.empty())
        q.swap = static_cast<int>(2.0f * platform.random.next(Draw::AnswerSwap, -1));
    placeAnswers();
    // The boxes lie behind the two slots: a single answer sits at the second slot and shows the box
    // there, so that its caption is inside the box shown.
    int shown = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        if (QstLBl[i]->caption.empty()) continue;
        QstLBl[i]->visible = true;
        ++shown;
    }
    if (shown >= 1) QstShp[1]->visible = true;
    if (shown == 2) QstShp[0]->visible = true;

    LblTim.setEnabled(false);
    q.QstCount = 0;
    QstTimShp.move(QstTimLbl.left(), QstTimLbl.top(), 1, QstTimLbl.height());
    QstTimShp.visible = true;
    QstTim.setInterval(kTickMs);
    QstTim.setEnabled(true);
    closeScript();
}

void Fom::placeAnswers() {
    // The captions as they stand decide: a caption left from an earlier question counts.
    auto& q = question;
    Control &first = *QstLBl[0], &second = *QstLBl[1];
    if (first.caption.empty()) {
        second.setTop(q.QstTop[1]);
    } else if (second.caption.empty()) {
        first.setTop(q.QstTop[1]);
    } else {
        first.setTop(q.QstTop[q.swap]);
        second.setTop(q.QstTop[1 - q.swap]);
    }
}

void Fom::QstTim_Timer() {
    auto& q = question;
    ++q.QstCount;
    QstTimShp.setWidth(QstTimLbl.width() / kTicks * q.QstCount);
    if (q.QstCount >= kTicks) QstLBl_Click(q.answers == 1 ? 0 : 1);
}

void Fom::QstLBl_Click(int index) {
    QstTim.setEnabled(false);
    QstTimShp.visible = false;
    for (std::size_t i = 0; i < 2; ++i) {
        QstLBl[i]->visible = false;
        QstShp[i]->visible = false;
    }
    const std::u16string target = question.QstTargets.at(static_cast<std::size_t>(index));
    GoToScene(target);
}

void Fom::QstLBl_MouseDown(int index) {
    QstLBl.at(index)->borderStyle = BorderStyle::Single;
}
void Fom::QstLBl_MouseUp(int index) {
    QstLBl.at(index)->borderStyle = BorderStyle::None;
}
