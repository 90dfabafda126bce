// Start-up and close of the window: the data folders, the control arrays, the command list, the hints
// and every control's starting look.
#include "app/Fom.h"
#include "app/GameError.h"
#include "platform/RandomSource.h"
#include "platform/TextCodec.h"

#include <filesystem>

namespace {

constexpr int kTextLines = 21;
// More places than any window could show a row for; a longer list is a broken file, and each place
// costs ten controls.
constexpr int kMaxCommands = 1000;
const Color kWindowBack = rgb(255, 255, 255);
const Color kWindowText = rgb(200, 200, 230);

std::u16string firstCharacter(const std::u16string& line) {
    return line.substr(0, 1);
}

} // namespace

void Fom::Form_Load() {
    std::string base = std::filesystem::absolute(gameDir).lexically_normal().string();
    if (base.empty() || base.back() != '/') base += '/';
    BaseDir = base;
    TextDir = BaseDir + "txt/";
    GraphicsDir = BaseDir + "grf/";

    music.MusicOn = true;
    platform.random.seed(platform.randomSeed);

    for (int i = 1; i < kTextLines; ++i) {
        model.createElement("Lbl3", i).visible = true;
        model.createElement("Lbl2", i).visible = true;
        model.createElement("Lbl", i).visible = true;
    }
    model.bringToFront(model.createElement("QstShp", 1));
    model.bringToFront(model.createElement("QstLBl", 1));
    model.createElement("StartCom", 1);
    model.createElement("StartCom", 2);

    // The command list: one place a line; its first line is read whatever the file holds.
    TextFile commands;
    const std::string comPath = textFile(u"com");
    if (!commands.open(comPath))
        throw GameError::inFile(comPath,
                                commands.problem().empty()
                                    ? "the command list cannot be opened (one place a line is expected)"
                                    : "the command list " + commands.problem());
    if (commands.atEnd())
        throw GameError::inFile(comPath, "the command list is empty (at least one line is expected)");
    std::u16string line = commands.readLine();
    com[0]->caption = line;
    DataNameLbl[0]->caption = firstCharacter(line);
    int n = 1;
    while (!commands.atEnd()) {
        if (n == kMaxCommands)
            throw GameError::inFile(comPath, "the command list has more than " +
                                                 std::to_string(kMaxCommands) +
                                                 " lines; the command panel holds at most " +
                                                 std::to_string(kMaxCommands) + " places");
        line = commands.readLine();
        model.createElement("com", n).caption = line;
        model.createElement("DataNameLbl", n).caption = firstCharacter(line);
        ++n;
    }
    commands.close();
    for (int j = 1; j < 9 * n; ++j) model.createElement("DataLbl", j);

    // The hints: at most as many as the list holds; further lines are left unread.
    TextFile hints;
    const std::string hintPath = textFile(u"hint");
    if (!hints.open(hintPath))
        throw GameError::inFile(hintPath, hints.problem().empty()
                                              ? "the hint file cannot be opened (one hint a line is expected)"
                                              : "the hint file " + hints.problem());
    extras.HintCount = 0;
    while (!hints.atEnd() && extras.HintCount < ExtrasState::kMaxHints)
        extras.Hints[extras.HintCount++] = hints.readLine();
    hints.close();

    const char16_t* difficulties[] = {u"EASY", u"NORMAL", u"HARD"};
    for (int i = 0; i < 3; ++i) StartCom[i]->caption = difficulties[i];

    LblTim.setInterval(1000);
    window.backColor = kWindowBack;
    window.foreColor = kWindowText;

    PicTtl.backColor = kWindowBack;
    PicTtl.borderStyle = BorderStyle::None;
    model.bringToFront(PicTtl);

    for (Control* button : StartCom) {
        button->backColor = rgb(255, 255, 255);
        button->visible = true;
        button->toolTipText = u"難易度はあとから変えることもできます\r\n"
                              u"いったんSAVEしてからDELETEでトップ画面に戻り、\r\n"
                              u"難易度を再度選んでから、LOADすれば完璧です";
    }

    Pic.backColor = kWindowBack;
    Pic.borderStyle = BorderStyle::None;
    Pic.visible = true;
    DataPic.backColor = kWindowBack;
    DataPic.borderStyle = BorderStyle::Single;
    DataPic.visible = false;

    for (Control* rowLabel : DataNameLbl) {
        rowLabel->visible = true;
        rowLabel->borderStyle = BorderStyle::None;
        rowLabel->backStyle = BackStyle::Transparent;
        rowLabel->foreColor = kWindowText;
    }
    for (std::size_t j = 0; j < DataLbl.size(); ++j) {
        Control& cell = *DataLbl[j];
        cell.caption = std::u16string(1, static_cast<char16_t>(u'1' + j % 9));
        cell.visible = true;
        cell.borderStyle = BorderStyle::Single;
        cell.backStyle = BackStyle::Opaque;
        cell.backColor = rgb(255, 255, 255);
    }

    for (int i = 0; i < kTextLines; ++i) {
        Lbl[i]->foreColor = rgb(100, 0, 100);
        Lbl[i]->caption.clear();
        Lbl[i]->visible = true;
        model.bringToFront(*Lbl[i]);
        Lbl2[i]->foreColor = rgb(230, 230, 250);
        Lbl2[i]->caption.clear();
        Lbl2[i]->visible = true;
        Lbl3[i]->foreColor = rgb(255, 255, 255);
        Lbl3[i]->caption.clear();
        Lbl3[i]->visible = true;
    }

    QstTimLbl.visible = false;
    QstTimShp.visible = false;
    QstTimShp.backStyle = BackStyle::Transparent;
    QstTimShp.borderColor = rgb(199, 21, 113);
    QstTimShp.borderStyle = BorderStyle::Single;
    QstTimShp.shapeStyle = ShapeStyle::Rectangle;

    for (int i = 0; i < 2; ++i) {
        QstLBl[i]->borderStyle = BorderStyle::None;
        QstLBl[i]->foreColor = rgb(255, 255, 255);
        QstLBl[i]->caption.clear();
        QstLBl[i]->visible = false;
        QstShp[i]->borderStyle = BorderStyle::None;
        QstShp[i]->visible = false;
    }

    menuLbl.foreColor = rgb(0, 230, 255);
    menuLbl.caption = u"MENU CLICKME";
    menuLbl.visible = true;

    DayDate.foreColor = rgb(0, 230, 255);
    DayDate.caption = u"0";
    DayDate.visible = true;

    HtmlToolLbl.backStyle = BackStyle::Opaque;
    HtmlToolLbl.backColor = rgb(240, 255, 255);
    HtmlToolLbl.foreColor = rgb(0, 230, 255);
    HtmlToolLbl.caption = u"おまけが制作できました♪";
    HtmlToolLbl.visible = false;

    ClickMe.backStyle = BackStyle::Opaque;
    ClickMe.borderStyle = BorderStyle::None;
    ClickMe.visible = false;

    Lst.backColor = kWindowBack;
    Lst.foreColor = kWindowText;
    Lst.visible = false;

    const std::size_t last = com.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        com[i]->foreColor = kWindowText;
        com[i]->visible = true;
    }
    com[last]->foreColor = rgb(255, 182, 193);
    com[last]->visible = false;

    ClickMe.visible = false;
    LstHyouji();
}

void Fom::Form_Unload() {
    music.StopMidi();
    music.CloseMidi();
}
