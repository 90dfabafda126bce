// The bonus page notice. Writing the page itself is not built yet.
#include "app/Fom.h"

void Fom::MakeBonusPage(const std::u16string&, const std::u16string&) {}
void Fom::HtmlToolLbl_Click() {}
void Fom::HtmlToolLbl_MouseDown() {
    HtmlToolLbl.borderStyle = 1;
}
void Fom::HtmlToolLbl_MouseUp() {
    HtmlToolLbl.borderStyle = 0;
}
