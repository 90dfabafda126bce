// The status list, which spells out every love level and flag, and the map of the schedule grid.
#include "app/Fom.h"

#include <string>

namespace {

std::u16string number(long n) {
    std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string truth(bool b) {
    return b ? u"True" : u"False";
}

// Joins the pieces of one line.
std::u16string join(std::initializer_list<std::u16string_view> pieces) {
    std::u16string line;
    for (auto piece : pieces) line += piece;
    return line;
}

} // namespace

void Fom::LstHyouji() {
    auto& lines = Lst.list;
    lines.clear();
    for (int i = 0; i < 3; ++i) {
        const std::u16string who = number(i);
        lines.push_back(join({who, u" ☆\u3000", number(game.LoveLevels[i])}));
        lines.push_back(join({who, u" ■\u3000", truth(game.CnFlags[i])}));
        lines.push_back(join({who, u" □\u3000", truth(game.GnFlags[i])}));
        for (int j = 0; j < 4; ++j)
            lines.push_back(join({who, u"|", number(j), u" = ", truth(game.OnOffFlags[i][j])}));
    }
    lines.push_back(u"--------");
    for (int d = 1; d <= 8; ++d) lines.push_back(join({u"●", number(d), u" = ", truth(game.VisitFlags[d])}));
}

void Fom::m_list_Click() {
    Lst.visible = !Lst.visible;
    LstHyouji();
}

void Fom::m_map_Click() {
    DataPic.visible = !DataPic.visible;
}
