#pragma once
#include <QWidget>
#include <functional>

class Control;
class QtPictureLoader;

// A label, shape or picture box of the window, painted from its control in the model. Picture boxes
// also hold the widgets of the controls inside them.
class ControlWidget : public QWidget {
    Q_OBJECT
  public:
    ControlWidget(const Control& control, const QtPictureLoader& pictures, QWidget* parent);

    const Control& control() const { return control_; }
    // Mouse press, release (with whether the pointer is still over the control) on this control.
    std::function<void(const Control&)> onPress;
    std::function<void(const Control&, bool inside)> onRelease;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void paintLabel(QPainter& p);
    void paintShape(QPainter& p);
    void paintPictureBox(QPainter& p);
    const Control& control_;
    const QtPictureLoader& pictures_;
};

// The colour of the model as Qt takes it.
QColor toQColor(unsigned colour);
