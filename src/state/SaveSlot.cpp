// The menu's Delete, Load and Save: the one save slot, txt/save.dat.
#include "app/Fom.h"
#include "app/GameError.h"
#include "platform/Desktop.h"
#include "platform/FileReplace.h"
#include "platform/TextFile.h"
#include "platform/Words.h"
#include "state/SaveRecord.h"

namespace {

SaveRecord recordOf(const Fom& f) {
    SaveRecord r;
    r.day = f.DayDate.caption;
    r.turnCount = f.game.TurnCount;
    r.cnFlags = f.game.CnFlags;
    r.gnFlags = f.game.GnFlags;
    r.onOffFlags = f.game.OnOffFlags;
    for (const Control* cell : f.DataLbl) r.cells.push_back(cell->backColor);
    for (int d = 1; d <= 8; ++d) r.visits[d - 1] = f.game.VisitFlags[d];
    r.loveLevels = f.game.LoveLevels;
    return r;
}

void apply(Fom& f, const SaveRecord& r) {
    f.DayDate.caption = r.day;
    f.game.TurnCount = r.turnCount;
    f.game.CnFlags = r.cnFlags;
    f.game.GnFlags = r.gnFlags;
    f.game.OnOffFlags = r.onOffFlags;
    for (std::size_t k = 0; k < r.cells.size(); ++k) f.DataLbl[k]->backColor = r.cells[k];
    for (int d = 1; d <= 8; ++d) f.game.VisitFlags[d] = r.visits[d - 1];
    f.game.LoveLevels = r.loveLevels;
}

void saveGame(Fom& f) {
    // The new save goes beside the old one and replaces it only once it is whole on disk, so a failed or
    // interrupted save never costs the player the save they had.
    const std::string path = f.textFile(u"save");
    std::string why;
    if (!replaceWholeFile(path, recordOf(f).toBytes(), why))
        f.platform.desktop.messageBox(
            words(f.platform.catalogue,
                  "The game could not be saved: %1.\r\nThe earlier save, if any, is kept.", {why}));
}

void loadGame(Fom& f) {
    // The whole file is read and checked before anything changes: a file that cannot be loaded leaves
    // the game as it was, and the player is told why.
    const std::string path = f.textFile(u"save");
    TextFile file;
    if (!file.open(path)) {
        f.platform.desktop.messageBox(
            words(f.platform.catalogue,
                  "There is no saved game to load: %1 cannot be opened.\r\nThe game "
                  "goes on as it was.",
                  {path}));
        return;
    }
    std::vector<std::u16string> lines;
    while (!file.atEnd()) lines.push_back(file.readLine());
    file.close();
    SaveRecord record;
    try {
        record = SaveRecord::parse(path, lines, f.DataLbl.size());
    } catch (const GameError& e) {
        f.platform.desktop.messageBox(
            words(f.platform.catalogue, "The saved game cannot be loaded: %1.\r\nThe game goes on as it was.",
                  {e.what()}));
        return;
    }

    for (std::size_t i = 0; i < f.Lbl.size(); ++i) {
        f.Lbl[i]->caption.clear();
        f.Lbl2[i]->caption.clear();
    }
    apply(f, record);
    f.LstHyouji();
    // The loaded game waits at the magenta prompt for a place to be chosen, so the places can be
    // clicked, as at the end of a scene: a load in a scene that had disabled them (">f", the staff roll)
    // would otherwise leave nothing to click.
    f.setComEnabled(true);
    f.ShowClickPrompt(255, 0, 255);
}

} // namespace

void Fom::m_menu_Click(int index) {
    switch (index) {
    case 0:
        // Back to the title; the save slot stays as it is.
        Form_Activate();
        break;
    case 1:
        loadGame(*this);
        break;
    case 2:
        saveGame(*this);
        break;
    default:
        break;
    }
}
