#include "app/Fom.h"

#include "app/FomDesign.h"
#include "app/GameError.h"
#include "platform/GameFiles.h"
#include "platform/TextCodec.h"

namespace {

Control& designed(ControlModel& model) {
    createFomDesign(model);
    return model.control("Fom");
}

MenuItem& menuItem(ControlModel& model, const std::string& name) {
    return *model.menu(name).front();
}

// A name the script gives a file becomes part of a path. A control character has no place in one: a NUL
// would end the path early in the C library and open some other file, so such a name is refused whole.
const std::u16string& usableName(const std::u16string& name) {
    for (char16_t c : name)
        if (c < 0x20 || c == 0x7F)
            throw GameError("the file name \"" + GameError::quote(name) +
                            "\" holds a control character, which no file name may hold");
    return name;
}

} // namespace

Fom::Fom(Platform& platform, std::string gameDir)
    : platform(platform), window(designed(model)), E(model.control("E")), Pic(model.control("Pic")),
      DataPic(model.control("DataPic")), Lst(model.control("Lst")), PicTtl(model.control("PicTtl")),
      HtmlToolLbl(model.control("HtmlToolLbl")), menuLbl(model.control("menuLbl")),
      DayDate(model.control("DayDate")), ClickMe(model.control("ClickMe")),
      QstTimShp(model.control("QstTimShp")), QstTimLbl(model.control("QstTimLbl")),
      DataLbl(model.array("DataLbl")), DataNameLbl(model.array("DataNameLbl")), Lbl3(model.array("Lbl3")),
      QstShp(model.array("QstShp")), QstLBl(model.array("QstLBl")), Lbl2(model.array("Lbl2")),
      Lbl(model.array("Lbl")), StartCom(model.array("StartCom")), com(model.array("com")),
      LblShpTim(model.timer("LblShpTim")), QstTim(model.timer("QstTim")), LblTim(model.timer("LblTim")),
      BgmTim(model.timer("BgmTim")), m_bgm(menuItem(model, "m_bgm")), m_map(menuItem(model, "m_map")),
      m_list(menuItem(model, "m_list")), gameDir(std::move(gameDir)),
      music(platform.music, platform.musicHeard) {
    music.find = [this](const std::string& path) { return findFile(path); };
}

std::string Fom::findFile(const std::string& path) const {
    if (!keepFiles) return findGameFile(path);
    auto [it, fresh] = foundFiles_.emplace(path, std::string());
    if (fresh) it->second = findGameFile(path);
    return it->second;
}

std::string Fom::textFile(const std::u16string& base) const {
    return findFile(TextDir + text::toUtf8(usableName(base)) + ".dat");
}

std::string Fom::pictureFile(const std::u16string& base) const {
    return findFile(GraphicsDir + text::toUtf8(usableName(base)) + ".dat");
}

std::string Fom::musicFile(const std::u16string& base) const {
    return BaseDir + text::toUtf8(usableName(base)) + ".mp3";
}
