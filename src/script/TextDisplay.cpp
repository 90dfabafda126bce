// The scrolling text lines, the blinking click prompt, the resume click and the reading speed.
#include "app/Fom.h"

#include <utility>

namespace {
const Color kCyan = rgb(0, 255, 255);
// No label of any window shows more of a line than this: each row holds a few hundred characters at
// most. A longer line is kept only up to here, as each line is copied into every row it scrolls
// through, twice.
constexpr std::size_t kLongestShownLine = 4096;
} // namespace

void Fom::ShowTextLine() {
    const std::size_t last = Lbl.size() - 1;
    // The lines move up by swapping, so the text is not copied; the top line's room takes the new one.
    // Each shadow row always holds the text of its line (they are written and cleared together), so
    // the shadows move up the same way and only the new line is copied into one.
    for (std::size_t i = 1; i <= last; ++i) {
        std::swap(Lbl[i - 1]->caption, Lbl[i]->caption);
        std::swap(Lbl2[i - 1]->caption, Lbl2[i]->caption);
    }
    Lbl[last]->caption.assign(script.CurrentLine, 0, kLongestShownLine);
    Lbl2[last]->caption = Lbl[last]->caption;
    textLog.add(Lbl[last]->caption);
}

void Fom::ShowClickPrompt(int red, int green, int blue) {
    ClickMe.fillColor = rgb(red, green, blue);
    LblTim.setEnabled(false);
    ClickMe.visible = true;
    LblShpTim.setEnabled(true);
}

void Fom::LblShpTim_Timer() {
    script.BlinkPhase = script.BlinkPhase % 2 + 1;
    ClickMe.shapeStyle = shapeStyleOf(script.BlinkPhase + 2);
}

void Fom::Form_Click() {
    // Only the cyan prompt's pause is the player's to end; the colour outlives the prompt, so later
    // clicks go on advancing the story until the next magenta prompt.
    if (ClickMe.fillColor != kCyan) return;
    LblTim.setEnabled(true);
    LblTim_Timer();
}

void Fom::Pic_Click() {
    Form_Click();
}
void Fom::Lbl_Click(int) {
    Form_Click();
}
void Fom::Lbl2_Click(int) {
    Form_Click();
}
void Fom::DayDate_Click() {
    Form_Click();
}

void Fom::m_tim_Click(int index) {
    int interval = index * 200;
    LblTim.setInterval(interval == 0 ? 1 : interval);
}
