// The scene script interpreter: opening a scene, the read-ahead, the pause before jumps, the end of a
// script and the dispatch of each line by its command word.
#include "app/Fom.h"
#include "app/GameError.h"
#include "script/ScriptCommands.h"
#include "script/ScriptSyntax.h"

void Fom::GoToScene(const std::u16string& name) {
    textLog.clear();
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
    if (const auto kept = keptScripts_.find(path); kept != keptScripts_.end()) {
        script.file.open(kept->second);
    } else if (script.file.open(path)) {
        if (keepFiles) keptScripts_.emplace(path, script.file);
    } else {
        const std::string& problem = script.file.problem();
        throw GameError::inFile(path, problem.empty() ? "the scene script cannot be found"
                                                      : "the scene script " + problem);
    }
    script.fileOpened = true;
    LblTim.setEnabled(true);
    if (onSceneOpened) onSceneOpened(name, path);
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

    std::swap(script.CurrentLine, script.NextLine);
    script.currentLineNumber = script.nextLineNumber;
    // The line now acted on comes from the file opened last; its name is copied only when that changed.
    if (script.fileOpened) {
        script.currentPath = script.file.path();
        script.fileOpened = false;
    }
    if (!readNextLine()) {
        setComEnabled(true);
        ShowClickPrompt(255, 0, 255);
    }
    if (!ScriptSyntax::pauseWord(script.NextLine).empty()) ShowClickPrompt(0, 255, 255);

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
    script.file.readLine(script.NextLine);
    script.nextLineNumber = script.file.lineNumber();
    return true;
}

bool Fom::dispatchLine() {
    using Kind = ScriptSyntax::Kind;
    const ScriptSyntax::Command command = ScriptSyntax::parse(script.CurrentLine);
    if (!command.error.empty()) scriptError(command.error);
    ScriptCommands commands{*this, command};
    switch (command.kind) {
    case Kind::MusicStop:
        music.StopMidi();
        return true;
    case Kind::Music:
        music.OpenMidi(musicFile(command.name));
        music.PlayMidi();
        return true;
    case Kind::DisablePanel:
        setComEnabled(false);
        return true;
    case Kind::ClearPicture:
        ClearPicture();
        return true;
    case Kind::Picture:
        ShowPicture(command.name);
        return true;
    case Kind::Question:
        LblTim.setEnabled(false);
        BeginQuestion();
        return false;
    case Kind::Gn:
        return commands.gn(), true;
    case Kind::Cn:
        return commands.cn(), true;
    case Kind::Love:
        return commands.love(), true;
    case Kind::On:
        return commands.on(), true;
    case Kind::Off:
        return commands.off(), true;
    case Kind::Swc:
        return commands.swc(), false;
    case Kind::Swb:
        return commands.swb(), false;
    case Kind::Jump:
        closeScript();
        GoToScene(command.name);
        return false;
    case Kind::Html:
        return commands.html(), false;
    case Kind::Staff:
        closeScript();
        setComEnabled(false);
        music.OpenMidi(musicFile(u"end"));
        music.PlayMidi();
        GoToScene(u"staff");
        return false;
    case Kind::Ending:
        closeScript();
        LblTim.setEnabled(false);
        ClickMe.visible = false;
        LblShpTim.setEnabled(false);
        Form_Activate();
        return false;
    case Kind::Text:
        break;
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
