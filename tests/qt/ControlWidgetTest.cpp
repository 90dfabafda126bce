#include "qt/ControlWidget.h"

#include "qt/LabelText.h"
#include "qt/QtPictureLoader.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <gtest/gtest.h>
#include <memory>

#include <string>

namespace {

TEST(ControlWidget, LaysOutOnlyTheStartOfALineThatALabelCanShow) {
    const QFontMetrics metrics{QFont()};
    const std::u16string line(5'000'000, u'x');
    const auto shown = LabelText::shownPart(line, QSize(600, 20), metrics);
    EXPECT_LT(shown.size(), 10'000u);
    // Every character that fits is still there, with some to spare for the wrap.
    EXPECT_GT(static_cast<int>(shown.size()), 600 / std::max(1, metrics.horizontalAdvance(QChar(u'x'))));
    EXPECT_EQ(LabelText::shownPart(u"short", QSize(600, 20), metrics), u"short");
}

} // namespace

namespace {

// The click prompt over a patterned background, as it stands over the scene picture.
struct PromptOverPicture {
    PromptOverPicture() {
        look.visible = true;
        look.backStyle = BackStyle::Opaque;
        look.borderStyle = BorderStyle::None;
        look.fillStyle = FillStyle::Solid;
        look.backColor = rgb(255, 255, 255);
        look.fillColor = rgb(0, 255, 255);
        QPalette pal = parent.palette();
        QLinearGradient sky(0, 0, 120, 120);
        sky.setColorAt(0, QColor(250, 200, 220));
        sky.setColorAt(1, QColor(30, 60, 160));
        pal.setBrush(QPalette::Window, sky);
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        parent.resize(120, 120);
    }
    QImage shot(int style) {
        look.shape = shapeStyleOf(style);
        widget->apply(look);
        return parent.grab().toImage();
    }
    ControlInfo shape{ControlKind::Shape, "ClickMe", -1, -1};
    ControlLook look;
    QtPictureLoader pictures;
    QWidget parent;
    std::unique_ptr<ControlWidget> widget = nullptr;
    void place() {
        widget = std::make_unique<ControlWidget>(shape, AccessRole::Hidden, pictures, &parent);
        widget->setGeometry(17, 23, 64, 72);
    }
};

} // namespace

TEST(ControlWidget, TheBlinkingPromptShowsTheFormAndColourItHasNow) {
    PromptOverPicture prompt;
    prompt.place();
    const QImage circle = prompt.shot(3);
    const QImage rounded = prompt.shot(4);
    EXPECT_NE(circle, rounded);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(prompt.shot(3), circle);
        EXPECT_EQ(prompt.shot(4), rounded);
    }
    // A new colour, and a new size, are drawn anew: the same as a prompt that never showed before.
    prompt.look.fillColor = rgb(255, 0, 255);
    const QImage magenta = prompt.shot(3);
    prompt.widget->resize(40, 40);
    const QImage smaller = prompt.shot(3);
    prompt.place();
    EXPECT_EQ(prompt.shot(3), magenta);
    prompt.widget->resize(40, 40);
    EXPECT_EQ(prompt.shot(3), smaller);
    EXPECT_NE(magenta, circle);
    EXPECT_NE(smaller, magenta);
}

// The pixels darker than the white beneath.
int ink(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 200;
    return count;
}

// Under the blinking prompt a line of text is painted in small parts: each part shows what the whole
// line shows there, wherever the text ends and however it is aligned.
TEST(ControlWidget, ALinePaintedInPartsShowsWhatItShowsWhole) {
    const ControlInfo label{ControlKind::Label, "Lbl", 0, -1};
    QtPictureLoader pictures;
    for (const Alignment alignment : {Alignment::Left, Alignment::Centre, Alignment::Right})
        for (const std::u16string caption :
             {u"港、商店街、図書館。", u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", u""}) {
            ControlLook look;
            look.visible = true;
            look.caption = caption;
            look.alignment = alignment;
            look.foreColor = rgb(0, 0, 0);
            ControlWidget widget(label, AccessRole::Hidden, pictures, nullptr);
            widget.resize(300, 24);
            widget.apply(look);
            QImage whole(widget.size(), QImage::Format_ARGB32_Premultiplied);
            whole.fill(Qt::white);
            widget.render(&whole);
            for (int x = 0; x < 300; x += 20) {
                const QRect part(x, 2, 24, 20);
                QImage parts(widget.size(), QImage::Format_ARGB32_Premultiplied);
                parts.fill(Qt::white);
                widget.render(&parts, part.topLeft(), QRegion(part));
                // The text of a part is drawn from a copy of the line, antialiased a little differently.
                const int inkWhole = ink(whole.copy(part)), inkParts = ink(parts.copy(part));
                EXPECT_EQ(inkWhole > 0, inkParts > 0);
                EXPECT_NEAR(inkParts, inkWhole, inkWhole / 4 + 1)
                    << "alignment " << static_cast<int>(alignment) << ", part at " << x;
            }
        }
}
