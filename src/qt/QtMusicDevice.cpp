#include "qt/QtMusicDevice.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtMusicDevice::QtMusicDevice() : player_(std::make_unique<QMediaPlayer>()), output_(std::make_unique<QAudioOutput>()) {
    player_->setAudioOutput(output_.get());
    connect(player_.get(), &QMediaPlayer::playbackStateChanged, this, [this] {
        if (onStateChange_) onStateChange_();
    });
    connect(player_.get(), &QMediaPlayer::errorOccurred, this, [this] {
        // A file the player cannot play is as good as one that never opened.
        close();
        if (onStateChange_) onStateChange_();
    });
    connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia) close();
        if (onStateChange_) onStateChange_();
    });
}

QtMusicDevice::~QtMusicDevice() { player_->stop(); }

void QtMusicDevice::close() {
    if (!open_) return;
    open_ = false;
    player_->stop();
    player_->setSource(QUrl());
}

bool QtMusicDevice::isPlaying() const { return open_ && player_->playbackState() == QMediaPlayer::PlayingState; }

bool QtMusicDevice::send(const std::string& command, std::string* reply) {
    const QString c = QString::fromStdString(command);
    static const QString openHead = "open \"", openTail = "\" alias MIDI";
    if (c.startsWith(openHead) && c.endsWith(openTail)) {
        if (open_) return false;
        const QString path = c.mid(openHead.size(), c.size() - openHead.size() - openTail.size());
        if (!QFileInfo(path).isFile()) return false;
        open_ = true;
        player_->setSource(QUrl::fromLocalFile(path));
        return true;
    }
    if (c == "close MIDI notify") {
        const bool wasOpen = open_;
        close();
        return wasOpen;
    }
    if (!open_) return false;
    if (c == "status MIDI mode") {
        if (reply) {
            const std::string mode = isPlaying() ? "playing" : "stopped";
            reply->replace(0, mode.size(), mode);
        }
        return true;
    }
    if (c == "play MIDI notify") {
        player_->play();
        return true;
    }
    if (c == "stop MIDI notify") {
        // The device stops where it is; playing again goes on from there.
        player_->pause();
        return true;
    }
    if (c == "seek MIDI to start") {
        player_->pause();
        player_->setPosition(0);
        return true;
    }
    if (c == "play MIDI from 0") {
        player_->setPosition(0);
        player_->play();
        return true;
    }
    return false;
}
