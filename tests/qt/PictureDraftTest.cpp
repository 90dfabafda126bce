// Pictures stretched roughly while the window's size changes, and smoothly once it stays.
#include "EventPump.h"
#include "PictureGame.h"
#include "qt/ControlWidget.h"
#include "qt/QtPictureLoader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A picture box as a window of its own.
struct ShownPictureBox {
    ShownPictureBox() {
        const std::string path = dir.filePath("pattern.png").toStdString();
        picture.save(QString::fromStdString(path), "PNG");
        ControlLook look;
        look.visible = true;
        look.picture = path;
        pictures.load(path);
        widget = std::make_unique<ControlWidget>(box, AccessRole::Picture, pictures, nullptr);
        widget->apply(look);
        widget->resize(160, 120);
        widget->show();
        pumpFor(30);
    }
    QImage shown() { return shownOnScreen(*widget, widget->rect()); }
    QTemporaryDir dir;
    QImage picture = finePattern(300, 200);
    ControlInfo box{ControlKind::PictureBox, "Pic", -1, -1};
    QtPictureLoader pictures;
    std::unique_ptr<ControlWidget> widget;
};

} // namespace

TEST(PictureDraft, APictureStretchedDuringADragIsScaledSmoothlyOnceItEnds) {
    ShownPictureBox b;
    ASSERT_EQ(b.shown(), smoothlyScaled(b.picture, QSize(160, 120)));
    b.widget->setDrafting(true);
    b.widget->resize(150, 110);
    pumpFor(30);
    const QImage rough = b.shown();
    EXPECT_NE(rough, smoothlyScaled(b.picture, QSize(150, 110))) << "drawn roughly while the size changes";
    // The smooth copy's size is drawn from it at once, drafting or not.
    b.widget->resize(160, 120);
    pumpFor(30);
    EXPECT_EQ(b.shown(), smoothlyScaled(b.picture, QSize(160, 120)));
    b.widget->resize(150, 110);
    pumpFor(30);
    EXPECT_EQ(b.shown(), rough);
    b.widget->setDrafting(false);
    pumpFor(30);
    EXPECT_EQ(b.shown(), smoothlyScaled(b.picture, QSize(150, 110)))
        << "painted smoothly once the size stays";
}
