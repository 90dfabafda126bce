#include "app/EventRouter.h"

#include "app/Fom.h"

#include <functional>
#include <map>
#include <string_view>

Control* EventRouter::reachable(const std::string& name, int index) const {
    if (!fom_.model.hasControl(name)) return nullptr;
    const ControlArray& elements = fom_.model.array(name);
    const std::size_t i = index < 0 ? 0 : static_cast<std::size_t>(index);
    if (i >= elements.size()) return nullptr;
    Control* c = elements[i];
    if (!c->reachable()) return nullptr;
    // The visible title picture lies over everything but itself and its buttons.
    const Control& title = fom_.PicTtl;
    if (title.visible && c != &title && !c->isInside(title)) return nullptr;
    return c;
}

bool EventRouter::menuAvailable() const {
    return reachable("menuLbl", -1) != nullptr;
}

EventRouter::Result EventRouter::click(const std::string& name, int index) {
    if (!fom_.model.hasControl(name)) return Result::UnknownName;
    if (!reachable(name, index)) return Result::Ignored;
    const int i = index < 0 ? 0 : index;
    Fom& f = fom_;
    static const std::map<std::string, std::function<void(Fom&, int)>> handlers = {
        {"Fom", [](Fom& w, int) { w.Form_Click(); }},
        {"Pic", [](Fom& w, int) { w.Pic_Click(); }},
        {"Lbl", [](Fom& w, int n) { w.Lbl_Click(n); }},
        {"Lbl2", [](Fom& w, int n) { w.Lbl2_Click(n); }},
        {"DayDate", [](Fom& w, int) { w.DayDate_Click(); }},
        {"PicTtl", [](Fom& w, int) { w.PicTtl_Click(); }},
        {"StartCom", [](Fom& w, int n) { w.StartCom_Click(n); }},
        {"menuLbl", [](Fom& w, int) { w.menuLbl_Click(); }},
        {"com", [](Fom& w, int n) { w.com_Click(n); }},
        {"QstLBl", [](Fom& w, int n) { w.QstLBl_Click(n); }},
        {"HtmlToolLbl", [](Fom& w, int) { w.HtmlToolLbl_Click(); }},
    };
    if (auto h = handlers.find(name); h != handlers.end()) h->second(f, i);
    return Result::Delivered;
}

EventRouter::Result EventRouter::press(const std::string& name, int index) {
    return mouse(name, index, true);
}

EventRouter::Result EventRouter::release(const std::string& name, int index) {
    return mouse(name, index, false);
}

EventRouter::Result EventRouter::mouse(const std::string& name, int index, bool down) {
    if (!fom_.model.hasControl(name)) return Result::UnknownName;
    if (!reachable(name, index)) return Result::Ignored;
    const int i = index < 0 ? 0 : index;
    // The pressable labels show a border while the button is held.
    if (name == "menuLbl") down ? fom_.menuLbl_MouseDown() : fom_.menuLbl_MouseUp();
    if (name == "com") down ? fom_.com_MouseDown(i) : fom_.com_MouseUp(i);
    if (name == "QstLBl") down ? fom_.QstLBl_MouseDown(i) : fom_.QstLBl_MouseUp(i);
    if (name == "HtmlToolLbl") down ? fom_.HtmlToolLbl_MouseDown() : fom_.HtmlToolLbl_MouseUp();
    return Result::Delivered;
}

EventRouter::Result EventRouter::menu(const std::string& item, int index) {
    static const std::map<std::string, std::function<void(Fom&, int)>> handlers = {
        {"dmy1", [](Fom&, int) {}},
        {"m_ver", [](Fom& w, int) { w.m_ver_Click(); }},
        {"m_help", [](Fom& w, int) { w.m_help_Click(); }},
        {"m_hint", [](Fom& w, int) { w.m_hint_Click(); }},
        {"m_menu", [](Fom& w, int n) { w.m_menu_Click(n); }},
        {"m_tim", [](Fom& w, int n) { w.m_tim_Click(n); }},
        {"m_bgm", [](Fom& w, int) { w.m_bgm_Click(); }},
        {"m_map", [](Fom& w, int) { w.m_map_Click(); }},
        {"m_list", [](Fom& w, int) { w.m_list_Click(); }},
    };
    auto h = handlers.find(item);
    if (h == handlers.end()) return Result::UnknownName;
    const auto& elements = fom_.model.menu(item);
    const std::size_t i = index < 0 ? 0 : static_cast<std::size_t>(index);
    if (i >= elements.size() || !elements[i]->enabled || !elements[i]->visible || !menuAvailable())
        return Result::Ignored;
    h->second(fom_, static_cast<int>(i));
    return Result::Delivered;
}

EventRouter::Result EventRouter::tick(const std::string& timer) {
    // Ticks come far more often than any other event: each timer is found by a plain look down a short
    // list, and its handler called directly.
    struct Handler {
        std::string_view name;
        Timer& (*timer)(Fom&);
        void (*fire)(Fom&);
    };
    static constexpr Handler handlers[] = {
        {"LblTim", [](Fom& w) -> Timer& { return w.LblTim; }, [](Fom& w) { w.LblTim_Timer(); }},
        {"LblShpTim", [](Fom& w) -> Timer& { return w.LblShpTim; }, [](Fom& w) { w.LblShpTim_Timer(); }},
        {"QstTim", [](Fom& w) -> Timer& { return w.QstTim; }, [](Fom& w) { w.QstTim_Timer(); }},
        {"BgmTim", [](Fom& w) -> Timer& { return w.BgmTim; }, [](Fom& w) { w.BgmTim_Timer(); }},
    };
    for (const Handler& h : handlers) {
        if (h.name != timer) continue;
        if (!h.timer(fom_).enabled()) return Result::Ignored;
        h.fire(fom_);
        return Result::Delivered;
    }
    return Result::UnknownName;
}
