#pragma once
#include "platform/MusicDevice.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class PcmPlayer;

// The music device over Qt Multimedia. It understands the commands the game sends (open with a quoted
// path and the alias, close, play, stop, seek to start, play from 0, status mode) and plays real files,
// decoding them as they play. A file that is missing or not music leaves the device closed and silent.
class QtMusicDevice : public QObject, public MusicDevice {
    Q_OBJECT
  public:
    QtMusicDevice();
    ~QtMusicDevice() override;

    bool send(const std::string& command, std::string* reply) override;
    // Holds the sound back: pieces are opened, played and stopped as the game says, but nothing is
    // decoded or heard until startSound(). The window starts it once its first screen is painted, so
    // that waking the sound system does not keep the player waiting.
    void holdSound() { soundHeld_ = true; }
    void startSound();
    bool soundStarted() const { return !soundHeld_; }
    // Called whenever the device's state changes on its own (a piece ended, failed or started), so
    // the host can wake the loop watchdog at once instead of polling. It may come in the middle of a
    // command, so it should only schedule work.
    void setOnStateChange(std::function<void()> callback) { onStateChange_ = std::move(callback); }
    bool isOpen() const { return player_ != nullptr; }
    bool isPlaying() const;
    // Whether the piece is going to the desktop's sound output, not just keeping time silently.
    bool isAudible() const;
    // Where the open piece stands, in milliseconds from its beginning.
    qint64 positionMs() const;
    // Why the last file was dropped as unplayable (empty when none was).
    const QString& lastError() const { return lastError_; }

  private:
    void close();
    void notify();
    std::unique_ptr<PcmPlayer> player_;
    // Players closed but not yet deleted by the event loop.
    std::vector<QPointer<PcmPlayer>> closed_;
    std::function<void()> onStateChange_;
    QString lastError_;
    // Files already reported as undecodable.
    QSet<QString> warned_;
    bool soundHeld_ = false;
};
