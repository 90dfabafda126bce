#pragma once
#include "game/Look.h"

#include <QSize>
#include <QStaticText>
#include <string_view>

class QFont;
class QFontMetrics;

// A label's caption laid out for the label's inner size and font. The layout is kept while the
// caption, font and alignment stay, and also across sizes in which it would come out the same.
class LabelText {
  public:
    // The caption, font or alignment changed: the next layout starts afresh.
    void invalidate() { stale_ = true; }
    // The caption laid out for a box of this inner size.
    const QStaticText& layout(std::u16string_view caption, QSize inner, const QFont& font,
                              Alignment alignment);

    // How far across the box, from its left, the text last laid out reaches: its widest line (with a
    // glyph's overhang) when it is left-aligned, or the whole box.
    int reach(const QFont& font, Alignment alignment);

    // The start of a caption that a box of this inner size can show: the rest is never laid out.
    static std::u16string_view shownPart(std::u16string_view caption, QSize box, const QFontMetrics& metrics);

  private:
    void prepare(const QString& text, int width, const QFont& font, Alignment alignment);

    QStaticText text_;
    QSize inner_;
    // The width text_ is laid out in; -1 when it is laid out without one.
    int width_ = -1;
    // The width of text_'s text laid out without a width, once known; -1 until then.
    qreal natural_ = -1;
    bool stale_ = true;
    // reach() of the text last laid out; -1 until asked.
    int reach_ = -1;
};
