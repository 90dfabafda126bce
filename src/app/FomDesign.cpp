#include "app/FomDesign.h"

#include "app/ControlModel.h"

namespace {

void place(Control& c, double left, double top, double width, double height) {
    c.leftTw = left, c.topTw = top, c.widthTw = width, c.heightTw = height;
}

Control& label(ControlModel& m, const char* name, Control* in, bool isArray, const std::u16string& caption,
               double l, double t, double w, double h) {
    Control& c = m.addControl(ControlKind::Label, name, in, isArray);
    c.caption = caption;
    place(c, l, t, w, h);
    return c;
}

// The labels on the window that start hidden, with centred text on a transparent background.
Control& hiddenLabel(ControlModel& m, const char* name, bool isArray, const std::u16string& caption, double l,
                     double t, double w, double h) {
    Control& c = label(m, name, &m.control("Fom"), isArray, caption, l, t, w, h);
    c.visible = false;
    c.alignment = Alignment::Centre;
    c.backStyle = BackStyle::Transparent;
    return c;
}

Control& pictureBox(ControlModel& m, const char* name, Control* in, double l, double t, double w, double h) {
    Control& c = m.addControl(ControlKind::PictureBox, name, in);
    c.borderStyle = BorderStyle::Single;
    place(c, l, t, w, h);
    return c;
}

Control& shape(ControlModel& m, const char* name, Control* in, bool isArray, double l, double t, double w,
               double h) {
    Control& c = m.addControl(ControlKind::Shape, name, in, isArray);
    c.borderStyle = BorderStyle::Single;
    c.backStyle = BackStyle::Transparent;
    c.backColor = systemColor::window;
    place(c, l, t, w, h);
    return c;
}

void createMenus(ControlModel& m) {
    MenuItem& menu = m.addMenu("menu", u"", nullptr);
    menu.visible = false;
    m.addMenu("dmy1", u"（menu delete）", &menu);
    m.addMenu("dmy3", u"-", &menu);
    m.addMenu("m_ver", u"Verjyon", &menu);
    m.addMenu("m_help", u"Help", &menu);
    m.addMenu("m_hint", u"Hint", &menu);
    m.addMenu("dmy2", u"-", &menu);
    MenuItem& saveMenu = m.addMenu("m_menu_menu", u"Menu", &menu);
    m.addMenu("m_menu", u"Delete", &saveMenu, 0);
    m.addMenu("m_menu", u"Load", &saveMenu, 1);
    m.addMenu("m_menu", u"Save", &saveMenu, 2);
    MenuItem& timerMenu = m.addMenu("m_Timer", u"Timer", &menu);
    const char16_t* speeds[] = {u"Tim_1",    u"Tim_200",  u"Tim_400",  u"Tim_600",  u"Tim_800", u"Tim_1000",
                                u"Tim_1200", u"Tim_1400", u"Tim_1600", u"Tim_1800", u"Tim_2000"};
    for (int i = 0; i < 11; ++i) m.addMenu("m_tim", speeds[i], &timerMenu, i);
    m.addMenu("m_bgm", u"Bgm", &menu).checked = true;
    m.addMenu("m_map", u"MAPPING", &menu);
    m.addMenu("m_list", u"\u3000", &menu);
}

} // namespace

void createFomDesign(ControlModel& m) {
    Control& fom = m.addControl(ControlKind::Window, "Fom", nullptr);
    fom.caption = u"ルメナ";
    fom.widthTw = 11340;
    fom.heightTw = 8745;

    Control& e = pictureBox(m, "E", &fom, 600, 1320, 975, 375);
    e.visible = false;
    Control& pic = pictureBox(m, "Pic", &fom, 4200, 240, 9060, 3120);
    pic.visible = false;

    Control& dataPic = pictureBox(m, "DataPic", &pic, 240, 2160, 2175, 975);
    dataPic.borderStyle = BorderStyle::None;
    dataPic.backColor = systemColor::window;
    dataPic.foreColor = systemColor::windowText;

    Control& dataLbl = label(m, "DataLbl", &dataPic, true, u"DataLbl", 840, 120, 495, 375);
    dataLbl.toolTipText = u"誰かいるかな？";
    dataLbl.alignment = Alignment::Centre;
    Control& dataNameLbl = label(m, "DataNameLbl", &dataPic, true, u"DataNameLbl", 120, 120, 375, 255);
    dataNameLbl.toolTipText = u"場所の名前";
    dataNameLbl.alignment = Alignment::Centre;

    label(m, "Lbl3", &pic, true, u"Lbl3", 480, 720, 6015, 375).backStyle = BackStyle::Transparent;

    Control& qstShp = shape(m, "QstShp", &pic, true, 3240, 3480, 2775, 1575);
    qstShp.borderStyle = BorderStyle::None;
    qstShp.fillStyle = FillStyle::Solid;
    qstShp.fillColor = rgb(0, 255, 255);

    Control& clickMe = shape(m, "ClickMe", &pic, false, 960, 1080, 735, 615);
    clickMe.borderStyle = BorderStyle::None;
    clickMe.backStyle = BackStyle::Opaque;
    // The prompt's colour is its fill, so the interior is drawn solid.
    clickMe.fillStyle = FillStyle::Solid;

    shape(m, "QstTimShp", &pic, false, 0, 0, 1695, 375);

    Control& qstLbl = label(m, "QstLBl", &pic, true, u"QstLBl", 240, 600, 4455, 615);
    qstLbl.toolTipText = u"行動を選んでね";
    qstLbl.borderStyle = BorderStyle::Single;
    qstLbl.alignment = Alignment::Right;
    qstLbl.backStyle = BackStyle::Transparent;
    qstLbl.backColor = systemColor::window;
    qstLbl.foreColor = systemColor::windowText;

    label(m, "QstTimLbl", &pic, false, u"QstTimLbl", 0, 1440, 5175, 615);
    label(m, "Lbl2", &pic, true, u"Lbl2", 120, 360, 6015, 375).backStyle = BackStyle::Transparent;
    label(m, "Lbl", &pic, true, u"Lbl", 0, 0, 6735, 255).backStyle = BackStyle::Transparent;

    Control& lst = m.addControl(ControlKind::ListBox, "Lst", &fom);
    lst.toolTipText = u"すぅいっち";
    lst.visible = false;
    lst.backColor = systemColor::window;
    lst.foreColor = systemColor::windowText;
    place(lst, 4200, 3840, 2775, 1830);

    m.addTimer("LblShpTim", 1, false);

    Control& picTtl = pictureBox(m, "PicTtl", &fom, 480, 3360, 3615, 1215);
    picTtl.toolTipText = u"クリックすると始まるよ";

    Control& startCom = m.addControl(ControlKind::CommandButton, "StartCom", &picTtl, true);
    startCom.caption = u"StartCom";
    startCom.toolTipText = u"難易度を選んでね";
    place(startCom, 240, 480, 735, 375);

    m.addTimer("QstTim", 100, false);
    m.addTimer("LblTim", 100, false);
    m.addTimer("BgmTim", 1, true);

    hiddenLabel(m, "HtmlToolLbl", false, u"HtmlToolLbl", 360, 2160, 1455, 615);
    hiddenLabel(m, "menuLbl", false, u"menuLbl", 0, 0, 1335, 735).toolTipText = u"メニューを表示させるよ";
    hiddenLabel(m, "com", true, u"Label1", 7440, 120, 2295, 495);
    hiddenLabel(m, "DayDate", false, u"DayDate", 7320, 5040, 975, 615).toolTipText = u"日付";

    createMenus(m);
}
