#pragma once
#include "platform/MusicDevice.h"
#include "qt/SdlAudio.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>

// The music device over SDL2_mixer. It keeps the piece's state on the window's thread, where the game's
// calls come; the sound output (SdlAudio) follows it on a thread of its own and only ever reports back
// through flags. A file that is missing or not music leaves the device closed and silent.
class SdlMusicDevice : public QObject, public MusicDevice {
    Q_OBJECT
  public:
    SdlMusicDevice();
    ~SdlMusicDevice() override;

    bool open(const std::string& path) override;
    bool close() override;
    bool play() override;
    bool stop() override;
    bool rewind() override;
    std::optional<Mode> mode() override;
    // Holds the sound back: pieces are opened, played and stopped as the game says, but nothing is
    // decoded or heard, and SDL is not even started, until startSound(). The window starts it once its
    // first screen is painted, so that waking the sound system does not keep the player waiting.
    void holdSound() { soundHeld_ = true; }
    void startSound();
    bool soundStarted() const { return !soundHeld_; }
    bool isOpen() const { return open_; }
    bool isPlaying() const;
    // Whether the piece is going to a sound device, not just keeping time silently.
    bool isAudible() const;
    // Where the open piece stands, in milliseconds from its beginning.
    qint64 positionMs() const;
    // Why the last file was dropped as unplayable (empty when none was).
    const QString& lastError() const { return lastError_; }

  private:
    // Takes in what the output did by itself (the piece ended, or could not be loaded); returns whether
    // the state changed.
    bool refresh();
    bool ended() const;
    void drop();
    void startAfresh();
    void publish();
    // Looks again when the piece should end, so that it loops without waiting for the watchdog's poll.
    void watchForEnd();
    double durationMs() const;
    qint64 playedMs() const;

    SdlAudio::Wanted wanted_;
    QString path_;
    bool open_ = false;
    bool atEnd_ = false;
    bool soundHeld_ = false;
    bool published_ = false;
    // The position: where the piece stood when it last started or stopped, plus the time the output has
    // played it since.
    qint64 baseMs_ = 0;
    QTimer endCheck_;
    QString lastError_;
    // Files already reported as undecodable.
    QSet<QString> warned_;
};
