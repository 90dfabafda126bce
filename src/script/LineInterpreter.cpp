// The scene script interpreter: opening a scene, the read-ahead, the pause before jumps, the end of a
// script and the dispatch of each line by its command word.
#include "app/Fom.h"
#include "app/GameError.h"
#include "script/ScriptCommands.h"
#include "script/ScriptText.h"

#include <array>
#include <string_view>

using scripttext::contains;
using scripttext::from;

namespace {

// Words that stop the story with the cyan prompt one line before they are acted on.
constexpr std::array<std::u16string_view, 6> kPauseWords = {u">ive",   u">game", u">ending",
                                                            u">staff", u">swc",  u">swb"};

bool holdsPauseWord(const std::u16string& line) {
    for (auto word : kPauseWords)
        if (contains(line, word)) return true;
    return false;
}

} // namespace

void Fom::GoToScene(const std::u16string& name) {
    for (std::size_t i = 0; i < Lbl.size(); ++i) {
        Lbl[i]->caption.clear();
        Lbl2[i]->caption.clear();
    }
    for (std::size_t i = 0; i < QstLBl.size(); ++i) {
        QstLBl[i]->visible = false;
        QstShp[i]->visible = false;
    }
    QstTim.setEnabled(false);
    LblShpTim.setEnabled(false);
    QstTimShp.visible = false;
    ClickMe.visible = false;
    OpenScript(name);
}

void Fom::OpenScript(const std::u16string& name) {
    script.NextLine.clear();
    script.nextLineNumber = 0;
    closeScript();
    const std::string path = textFile(name);
    if (!script.file.open(path)) {
        const std::string& problem = script.file.problem();
        throw GameError::inFile(path, problem.empty() ? "the scene script cannot be found"
                                                      : "the scene script " + problem);
    }
    LblTim.setEnabled(true);
}

void Fom::closeScript() {
    script.file.close();
}

void Fom::setComEnabled(bool enabled) {
    for (Control* c : com) c->enabled = enabled;
}

void Fom::LblTim_Timer() {
    // Commands that continue at once run the next step here, in a loop rather than by nesting, so a
    // long run of them costs no stack.
    while (scriptStep()) {
    }
}

bool Fom::scriptStep() {
    // A tick can only come without an open script from a resume click during a question or after
    // the ending; there is nothing to read then, so the story just stays where it is.
    if (!script.file.isOpen()) {
        LblTim.setEnabled(false);
        return false;
    }
    ClickMe.visible = false;
    LblShpTim.setEnabled(false);

    script.CurrentLine = script.NextLine;
    script.currentLineNumber = script.nextLineNumber;
    script.currentPath = script.file.path();
    if (!readNextLine()) {
        setComEnabled(true);
        ShowClickPrompt(255, 0, 255);
    }
    if (holdsPauseWord(script.NextLine)) ShowClickPrompt(0, 255, 255);

    try {
        return dispatchLine();
    } catch (const GameError& e) {
        if (e.namesLine()) throw;
        // A file the line asked for is missing: say which line asked.
        scriptError(e.what());
    }
}

bool Fom::readNextLine() {
    if (script.file.atEnd()) {
        script.NextLine.clear();
        script.nextLineNumber = 0;
        return false;
    }
    script.NextLine = script.file.readLine();
    script.nextLineNumber = script.file.lineNumber();
    return true;
}

bool Fom::dispatchLine() {
    const std::u16string& line = script.CurrentLine;
    ScriptCommands commands{*this};
    if (contains(line, u">bgm>")) {
        std::u16string name = from(line, 6);
        if (name == u"stop") {
            music.StopMidi();
        } else {
            music.OpenMidi(musicFile(name));
            music.PlayMidi();
        }
        return true;
    }
    if (contains(line, u">f")) {
        setComEnabled(false);
        return true;
    }
    if (contains(line, u">imgf")) {
        ClearPicture();
        return true;
    }
    if (contains(line, u">img")) {
        ShowPicture(from(line, 6));
        return true;
    }
    if (contains(line, u">qst")) {
        LblTim.setEnabled(false);
        BeginQuestion();
        return false;
    }
    if (contains(line, u">gn")) return commands.gn(), true;
    if (contains(line, u">cn")) return commands.cn(), true;
    if (contains(line, u">love")) return commands.love(), true;
    if (contains(line, u">on")) return commands.on(), true;
    if (contains(line, u">off")) return commands.off(), true;
    if (contains(line, u">swc")) return commands.swc(), false;
    if (contains(line, u">swb")) return commands.swb(), false;
    if (contains(line, u">ive")) {
        closeScript();
        GoToScene(from(line, 6));
        return false;
    }
    if (contains(line, u">html")) return commands.html(), false;
    if (contains(line, u">staff")) {
        closeScript();
        setComEnabled(false);
        music.OpenMidi(musicFile(u"end"));
        music.PlayMidi();
        GoToScene(u"staff");
        return false;
    }
    if (contains(line, u">ending")) {
        closeScript();
        LblTim.setEnabled(false);
        ClickMe.visible = false;
        LblShpTim.setEnabled(false);
        Form_Activate();
        return false;
    }
    ShowTextLine();
    return false;
}

void Fom::scriptError(const std::string& expected) const {
    scriptError(expected, script.currentLineNumber, script.CurrentLine);
}

void Fom::scriptError(const std::string& expected, std::size_t lineNumber, const std::u16string& text) const {
    throw GameError::atLine(script.currentPath, lineNumber, text, expected);
}
