#pragma once
#include "qt/WindowVoice.h"
#include "shell/Player.h"

#include <QObject>

class QWidget;
class WidgetTree;

// What the window adds for a player who does not use the mouse, or does not see the screen: the
// keyboard's focus shown on the control the shell gives it, what a screen reader may see, and reading
// aloud.
class PlayerAids : public QObject {
    Q_OBJECT
  public:
    PlayerAids(QWidget& window, Player& player, WidgetTree& widgets);

    // After every event: the focus and what the player sees follow the game; new lines are read aloud.
    void afterEvent(bool focusMoved, bool anythingChanged);
    // Puts the keyboard's focus where the shell keeps it.
    void showFocus();
    // Reading aloud on and off (V): where no voice can speak, one notice says so and nothing changes.
    void toggleVoice();
    WindowVoice& voice() { return *voice_; }

  private:
    QWidget& window_;
    Player& player_;
    WidgetTree& widgets_;
    WindowVoice* voice_;
};
