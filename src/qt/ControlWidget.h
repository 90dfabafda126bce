#pragma once
#include "qt/DraftStretch.h"
#include "qt/LabelText.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

class Control;
class QtPictureLoader;

// A label, shape or picture box of the window, painted from its control in the model. Picture boxes
// also hold the widgets of the controls inside them.
class ControlWidget : public QWidget {
    Q_OBJECT
  public:
    ControlWidget(const Control& control, const QtPictureLoader& pictures, QWidget* parent);

    const Control& control() const { return control_; }
    // Schedules a repaint when the control's look in the model differs from what was last painted.
    void refresh();
    // While the window's size is still changing, a picture box that needs its picture at a new size
    // stretches it as it draws, quickly and roughly; once drafting ends it is scaled smoothly again.
    void setDrafting(bool on);
    // Mouse press, release (with whether the pointer is still over the control) on this control.
    std::function<void(const Control&)> onPress;
    std::function<void(const Control&, bool inside)> onRelease;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // What the painting of the control depends on, besides its size and font.
    struct Look {
        std::u16string caption;
        bool enabled = true;
        unsigned foreColor = 0, backColor = 0, fillColor = 0, borderColor = 0;
        int backStyle = 0, borderStyle = 0, alignment = 0, shapeStyle = 0, fillStyle = 0;
        std::string picturePath;
        quint64 pictures = 0; // the loader's generation when painted
        bool operator==(const Look&) const = default;
    };
    Look currentLook() const;
    bool looksAsPainted() const;
    void paintLabel(QPainter& p, const QRect& dirty);
    void paintShape(QPainter& p);
    void drawShape(QPainter& p);
    void paintPictureBox(QPainter& p);
    const Control& control_;
    const QtPictureLoader& pictures_;
    Look painted_;
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
        Look look;
        QSize size;
        QImage image;
    };
    Form forms_[2];
};

// The colour of the model as Qt takes it.
QColor toQColor(unsigned colour);
