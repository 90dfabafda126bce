#pragma once
#include <QPlainTextEdit>
#include <deque>
#include <functional>
#include <string>

// The text log: the lines of the scene so far, over the game, to be scrolled back through.
class TextLogView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TextLogView(QWidget* parent);
    // Shows the lines, scrolled to the newest.
    void showLines(const std::deque<std::u16string>& lines);
    // Asked when the player leaves the log: Esc, or the wheel or Page Down past its end.
    std::function<void()> onClose;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    bool atEnd() const;
};
