// The title screen, the difficulty choice and the start of a new game; the menu label and the day.
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/PictureLoader.h"

void Fom::Form_Activate() {
    music.OpenMidi(musicFile(u"opn"));
    music.PlayMidi();
    LblTim.setEnabled(false);
    LblShpTim.setEnabled(false);
    // A question's countdown would otherwise run on under the title card and start its answer's
    // scene there (Delete can be chosen while a question waits).
    QstTim.setEnabled(false);
    TTLHYOUJI();
}

void Fom::TTLHYOUJI() {
    // A missing or unreadable title card leaves the title box without a picture, but the box and its
    // difficulty buttons still show, so that a new game can start after an ending too.
    const std::string path = pictureFile(u"ttl");
    if (auto size = platform.pictures.load(path)) {
        E.pictureName = u"ttl";
        E.picturePath = path;
        E.widthTw = size->width * kTwipsPerPixel;
        E.heightTw = size->height * kTwipsPerPixel;
        PicTtl.setScaleMode(ScaleMode::Pixels);
        E.setScaleMode(ScaleMode::Pixels);
        PicTtl.pictureName = E.pictureName;
        PicTtl.picturePath = E.picturePath;
    }
    PicTtl.visible = true;
}

void Fom::StartCom_Click(int index) {
    switch (index) {
    case 0:
        game.TurnLimit = 150, game.LoveThreshold = 20;
        break;
    case 1:
        game.TurnLimit = 100, game.LoveThreshold = 40;
        break;
    case 2:
        game.TurnLimit = 50, game.LoveThreshold = 200;
        break;
    default:
        break;
    }
    BeginGame();
}

void Fom::PicTtl_Click() {
    StartCom_Click(1);
}

void Fom::BeginGame() {
    ResetForNewGame();
    LstHyouji();
    ShowPicture(u"dmy");
    GoToScene(u"opn");
}

void Fom::ResetForNewGame() {
    LblShpTim.setEnabled(false);
    ClickMe.visible = false;
    game.resetStory();
    setComEnabled(true);
    PicTtl.visible = false;
    DayDate.caption = u"0";
    game.TurnCount = 0;
    music.OpenMidi(musicFile(u"bgm"));
    music.PlayMidi();
}

void Fom::menuLbl_Click() {
    platform.desktop.popupMenu("menu");
}
void Fom::menuLbl_MouseDown() {
    menuLbl.borderStyle = BorderStyle::Single;
}
void Fom::menuLbl_MouseUp() {
    menuLbl.borderStyle = BorderStyle::None;
}
