#pragma once
#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

class Game;
class HeldEventQueue;
class QTimer;
class QWidget;

// The window's size and full screen. The game keeps its window 4:3 by setting the width from the outer
// height whenever the size changes. Done on every step of a drag, that fights the window manager, which
// keeps putting the edge back under the pointer. So a size the player gives is laid out as it is
// (stretched, as a maximised window is), and only once it has stayed put for a moment is the window
// given its shape, with a single request. A maximised, full-screen or minimised window is never
// reshaped, and no request is larger than the screen's free area.
class WindowShape : public QObject {
    Q_OBJECT
  public:
    // stage is the area the game is laid out in; drafting is told when pictures may be drawn quickly
    // (while the size still changes) and when no longer.
    WindowShape(QWidget& window, QWidget& stage, Game& game, HeldEventQueue& events,
                std::function<void(bool)> drafting);

    // How long the size must stay put after the player resized the window before it is given its
    // shape again.
    static constexpr int kSettleMs = 200;
    // The largest 4:3 rectangle centred in a screen of that size.
    static QRect letterbox(QSize outer);

    // Shows the window in the game's first size (in full screen if asked before).
    void show(QSize inner);
    // The window is closing: nothing is laid out any more.
    void stop();
    // Lays the game out in the window's outer size; with mayReshape the game may give it its shape.
    void resizeGame(bool mayReshape);
    // Measures the window's frame; returns whether it changed.
    bool updateFrame();
    // After an event: asks for the size the game set, when it may.
    void followGame();
    void stopSettling();

    // Full screen shows the game at 4:3 in the middle, with black bars; leaving it restores the
    // window's earlier size and place. Before show() it makes the window start in full screen.
    void setFullScreen(bool on);
    bool fullScreen() const;
    // The area the game is drawn in: the whole window, or its 4:3 middle in full screen.
    QRect stageArea() const;

    // The frame the window manager reports from now on, in place of the window's own (for tests: an
    // offscreen window has none).
    void setReportedFrame(QSize frame) { reportedFrame_ = frame; }

    // The window's own events, passed on.
    void resized();
    void moved();
    void stateChanged();

  private:
    void layOut(bool mayReshape);
    void layOutUnsettled();
    bool request(QSize size);
    void settle();
    void startSettling();
    bool sizeFixedByState() const;
    QSize frame() const;
    // The size no larger than wanted whose outer size, in the game's shape, fits the screen's free area.
    QSize withinScreen(QSize wanted) const;

    QWidget& window_;
    QWidget& stage_;
    Game& game_;
    HeldEventQueue& events_;
    // The frame around the window's inside, in twips, as the window manager last told it.
    double frameWidthTw_ = 0, frameHeightTw_ = 0;
    std::function<void(bool)> drafting_;
    bool started_ = false;
    bool startFullScreen_ = false;
    // The window's place and size before it went full screen.
    QRect normalGeometry_;
    // Back from full screen: the earlier size, kept until the player gives another.
    struct Kept {
        QSize size;
        bool arrived;
    };
    std::optional<Kept> kept_;
    QTimer* settle_ = nullptr;
    std::optional<QSize> requested_;
    struct Request {
        QSize from, to;
    };
    std::optional<Request> lastRequest_;
    std::optional<QSize> reportedFrame_;
    // The last size the game's shape was in force.
    QSize shaped_;
};
