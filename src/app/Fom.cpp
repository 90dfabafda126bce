#include "app/Fom.h"

#include "app/FomDesign.h"
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
      m_list(menuItem(model, "m_list")), gameDir(std::move(gameDir)), music(platform.music) {}

std::string Fom::textFile(const std::u16string& base) const {
    return findGameFile(TextDir + text::toUtf8(base) + ".dat");
}

std::string Fom::pictureFile(const std::u16string& base) const {
    return findGameFile(GraphicsDir + text::toUtf8(base) + ".dat");
}

std::string Fom::musicFile(const std::u16string& base) const {
    return BaseDir + text::toUtf8(base) + ".mp3";
}
