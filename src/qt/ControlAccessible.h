#pragma once
#include <QAccessibleWidget>

class ControlWidget;

// A control of the game as a screen reader sees it: a line of the story as text, a place, an answer or
// the menu as a button named by its caption, a picture as a picture. What the player does not see (a
// hidden control, one the title covers, a line's shadow) is invisible to it.
class ControlAccessible : public QAccessibleWidget {
  public:
    explicit ControlAccessible(ControlWidget* widget);

    // Makes Qt ask this class for every control of the game's window.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

  private:
    ControlWidget* control() const;
};
