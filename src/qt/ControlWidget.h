#pragma once
#include "game/Game.h"
#include "qt/DraftStretch.h"
#include "qt/LabelText.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

class QtPictureLoader;

// A label, shape or picture box of the window, painted from the look the game gives it. Picture boxes
// also hold the widgets of the controls inside them.
class ControlWidget : public QWidget {
    Q_OBJECT
  public:
    ControlWidget(const ControlInfo& control, AccessRole role, const QtPictureLoader& pictures,
                  QWidget* parent);

    const ControlInfo& control() const { return control_; }
    // What it is to a screen reader, and whether the player sees it now (the title may cover it).
    AccessRole role() const { return role_; }
    bool seen() const { return seen_; }
    void setSeen(bool seen) { seen_ = seen; }
    // Takes the control's look; schedules a repaint when it differs from what was last painted.
    void apply(const ControlLook& look);
    const ControlLook& look() const { return look_; }
    // While the window's size is still changing, a picture box that needs its picture at a new size
    // stretches it as it draws, quickly and roughly; once drafting ends it is scaled smoothly again.
    void setDrafting(bool on);
    // Mouse press, release (with whether the pointer is still over the control) on this control.
    std::function<void()> onPress;
    std::function<void(bool inside)> onRelease;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Whether a transparent label has nothing to draw in this part of itself.
    bool paintsNothingIn(const QRect& dirty);
    // Where a label's text can show: the inner box as far as the text reaches.
    QRect textBox();
    void paintLabel(QPainter& p, const QRect& dirty);
    void paintShape(QPainter& p);
    void drawShape(QPainter& p);
    void paintPictureBox(QPainter& p);
    const ControlInfo& control_;
    AccessRole role_;
    bool seen_ = true;
    const QtPictureLoader& pictures_;
    ControlLook look_;
    // The loader's count of decoded pictures when the look was taken.
    quint64 pictures_generation_ = 0;
    // The picture scaled smoothly to the box, kept until the picture or the box's size changes.
    QImage scaled_;
    qint64 scaledKey_ = 0;
    std::string scaledPath_;
    quint64 scaledGeneration_ = 0;
    bool drafting_ = false;
    DraftStretch draft_;
    // Whether what shows was drawn roughly, and is to be painted again once drafting ends.
    bool drafted_ = false;
    // A label's caption laid out for its size and font.
    LabelText text_;
    // The caption drawn once, for small parts of the label painted again: the blinking prompt over its
    // line repaints its own square sixty times a second, and the glyphs beneath need not be drawn anew.
    QImage textImage_;
    // A shape's last two forms drawn, for a shape that blinks between them.
    struct Form {
        ShapeStyle shape;
        Color fill = 0, back = 0, border = 0;
        BackStyle backStyle;
        BorderStyle borderStyle;
        FillStyle fillStyle;
        QSize size;
        QImage image;
    };
    Form forms_[2];
};

// The colour of the game as Qt takes it.
QColor toQColor(unsigned colour);
