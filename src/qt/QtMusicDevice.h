#pragma once
#include "platform/MusicDevice.h"

#include <QObject>
#include <functional>
#include <memory>

class QMediaPlayer;
class QAudioOutput;

// The music device over Qt Multimedia. It understands the commands the game sends (open with a quoted
// path and the alias, close, play, stop, seek to start, play from 0, status mode) and plays real files.
// A file that is missing or not audio leaves the device closed and silent.
class QtMusicDevice : public QObject, public MusicDevice {
    Q_OBJECT
  public:
    QtMusicDevice();
    ~QtMusicDevice() override;

    bool send(const std::string& command, std::string* reply) override;
    // Called whenever the player's state changes (a piece ended, failed or started), so the host can
    // wake the loop watchdog at once instead of polling.
    void setOnStateChange(std::function<void()> callback) { onStateChange_ = std::move(callback); }
    bool isOpen() const { return open_; }
    bool isPlaying() const;

  private:
    void close();
    std::unique_ptr<QMediaPlayer> player_;
    std::unique_ptr<QAudioOutput> output_;
    std::function<void()> onStateChange_;
    bool open_ = false;
};
