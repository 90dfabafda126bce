#include "qt/LabelText.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The text as a label of this inner size paints it: clipped to the box, black on white.
QImage painted(const QStaticText& text, QSize inner, const QFont& font) {
    QImage image(inner.width() + 2, inner.height() + 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setFont(font);
    p.setClipRect(QRect(QPoint(1, 1), inner));
    p.drawStaticText(QPoint(1, 1), text);
    return image;
}

QFont labelFont() {
    QFont font("Noto Sans CJK JP");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(17);
    return font;
}

// One label taken through many widths, as by a drag, against a label laid out afresh at each width.
void expectSameAsFresh(const std::u16string& caption, Alignment alignment, const std::vector<int>& widths) {
    const QFont font = labelFont();
    LabelText kept;
    for (int width : widths) {
        const QSize inner(width, 60);
        LabelText fresh;
        const QImage shown = painted(kept.layout(caption, inner, font, alignment), inner, font);
        const QImage expected = painted(fresh.layout(caption, inner, font, alignment), inner, font);
        ASSERT_TRUE(shown == expected) << "caption of " << caption.size() << " characters, alignment "
                                       << number(alignment) << ", width " << width;
    }
}

std::vector<int> shrinkingThenGrowing() {
    std::vector<int> widths;
    for (int w = 720; w >= 30; w -= 3) widths.push_back(w);
    for (int w = 30; w <= 720; w += 5) widths.push_back(w);
    return widths;
}

const std::vector<std::u16string> kCaptions = {
    u"汽笛がひとつ、長く鳴った。",
    u"Words that wrap at their spaces once the box is narrow",
    u"trailing spaces      ",
    u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
    u"שלום עולם, a line that reads from the right",
};

TEST(LabelText, ShowsInEveryWidthAsTextLaidOutAfreshInThatWidth) {
    for (const auto& caption : kCaptions)
        for (Alignment alignment : {Alignment::Left, Alignment::Right, Alignment::Centre})
            expectSameAsFresh(caption, alignment, shrinkingThenGrowing());
}

TEST(LabelText, ANewCaptionOrFontIsLaidOutAgain) {
    const QFont font = labelFont();
    const QSize inner(600, 60);
    LabelText text;
    EXPECT_EQ(text.layout(u"一行目", inner, font, Alignment::Left).text(), QString::fromUtf8("一行目"));
    // Kept while nothing changes, even when asked with another caption.
    EXPECT_EQ(text.layout(u"二行目", inner, font, Alignment::Left).text(), QString::fromUtf8("一行目"));
    text.invalidate();
    EXPECT_EQ(text.layout(u"二行目", inner, font, Alignment::Left).text(), QString::fromUtf8("二行目"));
    // A new size takes a caption cut shorter or longer (see shownPart) into account.
    const std::u16string longLine(5000, u'x');
    text.invalidate();
    const auto shortBox = text.layout(longLine, QSize(100, 10), font, Alignment::Left).text().size();
    EXPECT_LT(shortBox, 5000);
    EXPECT_GT(text.layout(longLine, QSize(4000, 10), font, Alignment::Left).text().size(), shortBox);
}

} // namespace
