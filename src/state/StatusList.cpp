// The status list, which spells out every love level and flag, and the map of the schedule grid.
#include "app/Fom.h"

#include <charconv>
#include <iterator>
#include <string>

namespace {

// Writes one line of the list over the old one, keeping its room.
class LineWriter {
  public:
    explicit LineWriter(std::u16string& line) : line_(line) { line_.clear(); }
    LineWriter& operator<<(std::u16string_view piece) {
        line_ += piece;
        return *this;
    }
    LineWriter& operator<<(const char16_t* piece) { return *this << std::u16string_view(piece); }
    LineWriter& operator<<(long n) {
        char digits[24];
        const char* end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
        for (const char* d = digits; d != end; ++d) line_ += static_cast<char16_t>(*d);
        return *this;
    }
    LineWriter& operator<<(bool b) { return *this << std::u16string_view(b ? u"True" : u"False"); }

  private:
    std::u16string& line_;
};

} // namespace

void Fom::LstHyouji() {
    constexpr std::size_t kLines = 3 * 7 + 1 + 8;
    auto& lines = Lst.list;
    // A flag command changes one value, so only the lines whose value changed since they were written
    // are written again; the whole list is written when it is new or was cut short.
    const bool all = !listed_ || lines.size() != kLines;
    if (!all && *listed_ == game) return;
    const GameState was = all ? GameState{} : *listed_;
    listed_ = game;
    lines.resize(kLines);
    std::size_t n = 0;
    for (long i = 0; i < 3; ++i, n += 7) {
        if (all || game.LoveLevels[i] != was.LoveLevels[i])
            LineWriter(lines[n]) << i << u" ☆\u3000" << static_cast<long>(game.LoveLevels[i]);
        if (all || game.CnFlags[i] != was.CnFlags[i])
            LineWriter(lines[n + 1]) << i << u" ■\u3000" << static_cast<bool>(game.CnFlags[i]);
        if (all || game.GnFlags[i] != was.GnFlags[i])
            LineWriter(lines[n + 2]) << i << u" □\u3000" << static_cast<bool>(game.GnFlags[i]);
        for (long j = 0; j < 4; ++j)
            if (all || game.OnOffFlags[i][j] != was.OnOffFlags[i][j])
                LineWriter(lines[n + 3 + j])
                    << i << u"|" << j << u" = " << static_cast<bool>(game.OnOffFlags[i][j]);
    }
    if (all) LineWriter(lines[n]) << u"--------";
    for (long d = 1; d <= 8; ++d)
        if (all || game.VisitFlags[d] != was.VisitFlags[d])
            LineWriter(lines[n + d]) << u"●" << d << u" = " << static_cast<bool>(game.VisitFlags[d]);
}

void Fom::m_list_Click() {
    Lst.visible = !Lst.visible;
    LstHyouji();
}

void Fom::m_map_Click() {
    DataPic.visible = !DataPic.visible;
}
