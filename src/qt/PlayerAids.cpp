#include "qt/PlayerAids.h"

#include "qt/ControlAccessible.h"
#include "qt/ControlWidget.h"
#include "qt/WidgetTree.h"

#include <QToolTip>
#include <QWidget>

PlayerAids::PlayerAids(QWidget& window, Player& player, WidgetTree& widgets)
    : QObject(&window), window_(window), player_(player), widgets_(widgets), voice_(new WindowVoice(this)) {
    ControlAccessible::install();
}

void PlayerAids::afterEvent(bool focusMoved, bool anythingChanged) {
    if (anythingChanged) {
        // A screen reader sees what the player sees: the title covers the game beneath it.
        const Game& game = player_.game();
        for (std::size_t id = 0; id < game.controls().size(); ++id)
            if (auto* w = qobject_cast<ControlWidget*>(widgets_.widgetOf(id))) w->setSeen(game.seen(id));
    }
    if (focusMoved) showFocus();
    if (player_.voiceOn()) voice_->say(player_.spoken());
}

void PlayerAids::showFocus() {
    if (!player_.focus()) return;
    QWidget* w = widgets_.widgetOf(*player_.focus());
    if (w && w != window_.focusWidget() && w->isVisibleTo(&window_)) w->setFocus(Qt::TabFocusReason);
}

void PlayerAids::toggleVoice() {
    if (player_.voiceOn()) {
        player_.setVoice(false);
        voice_->stop();
        return;
    }
    QString why;
    if (!voice_->available(&why)) {
        QToolTip::showText(window_.mapToGlobal(QPoint(window_.width() / 8, window_.height() * 3 / 4)), why,
                           &window_, {}, 8000);
        return;
    }
    player_.setVoice(true);
    // What the focus rests on is read first.
    voice_->say(player_.spoken());
}
