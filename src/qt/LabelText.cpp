#include "qt/LabelText.h"

#include <QFont>
#include <QFontMetrics>
#include <QTextOption>
#include <algorithm>

std::u16string_view LabelText::shownPart(std::u16string_view caption, QSize box,
                                         const QFontMetrics& metrics) {
    // No glyph is narrower than a pixel and no line shorter than the line spacing, so a label shows at
    // most this many characters; laying out the rest of a line of millions would freeze the window.
    // The lines wrap the same way up to the cut, so what shows does not change.
    const auto rows = static_cast<std::size_t>(box.height() / std::max(1, metrics.lineSpacing()) + 2);
    const auto columns = static_cast<std::size_t>(std::max(0, box.width()) + 2);
    return caption.substr(0, std::min(caption.size(), rows * columns));
}

const QStaticText& LabelText::layout(std::u16string_view caption, QSize inner, const QFont& font,
                                     Alignment alignment) {
    if (!stale_ && inner == inner_) return text_;
    reach_ = -1;
    const std::u16string_view shown = shownPart(caption, inner, QFontMetrics(font));
    const QString text = QString::fromUtf16(shown.data(), static_cast<qsizetype>(shown.size()));
    const bool sameText = !stale_ && text == text_.text();
    if (!sameText) natural_ = -1;
    stale_ = false;
    inner_ = inner;
    if (sameText && width_ == inner.width()) return text_;
    // Left-aligned lines that fit need no width: they lie the same in any width they fit in. A label
    // laid out so is not laid out again at each step of a drag of the window's edge, as long as its
    // lines still fit. A line breaks once its glyphs, the last one's overhang included, pass the
    // width; a character's height of room to spare is well beyond that.
    if (sameText && alignment == Alignment::Left) {
        if (natural_ < 0) {
            prepare(text, -1, font, alignment);
            natural_ = text_.size().width();
        }
        if (natural_ + QFontMetrics(font).height() <= inner.width()) {
            if (width_ != -1) prepare(text, -1, font, alignment);
            return text_;
        }
    }
    prepare(text, inner.width(), font, alignment);
    return text_;
}

void LabelText::prepare(const QString& text, int width, const QFont& font, Alignment alignment) {
    text_.setText(text);
    text_.setTextFormat(Qt::PlainText);
    text_.setTextWidth(width);
    QTextOption option(alignment == Alignment::Right    ? Qt::AlignRight
                       : alignment == Alignment::Centre ? Qt::AlignHCenter
                                                        : Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_.setTextOption(option);
    text_.prepare(QTransform(), font);
    width_ = width;
}

int LabelText::reach(const QFont& font, Alignment alignment) {
    if (alignment != Alignment::Left) return inner_.width();
    if (reach_ >= 0) return reach_;
    const QFontMetrics metrics(font);
    int widest = 0;
    const QString text = text_.text();
    for (const QStringView line : QStringView(text).split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line.toString()));
    reach_ = std::min(inner_.width(), widest + metrics.height());
    return reach_;
}
