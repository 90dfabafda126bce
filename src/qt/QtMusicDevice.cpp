#include "qt/QtMusicDevice.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtMusicDevice::QtMusicDevice()
    : output_(std::make_unique<QAudioOutput>()), player_(std::make_unique<QMediaPlayer>()) {
    player_->setAudioOutput(output_.get());
    connect(player_.get(), &QMediaPlayer::playbackStateChanged, this, [this] { notify(); });
    connect(player_.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& why) { fail(why); });
    connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            fail(QStringLiteral("the file is not music the player can decode"));
        notify();
    });
}

QtMusicDevice::~QtMusicDevice() {
    // Nobody listens any more while the player winds down.
    onStateChange_ = nullptr;
    disconnect(player_.get(), nullptr, this, nullptr);
    player_->stop();
}

void QtMusicDevice::notify() {
    if (onStateChange_) onStateChange_();
}

void QtMusicDevice::fail(const QString& why) {
    // A file the player cannot play is as good as one that never opened. The player is still busy
    // reporting the failure, so it is emptied only once it is done, unless a new file came first.
    if (!open_) return;
    lastError_ = why.isEmpty() ? player_->errorString() : why;
    open_ = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!open_) player_->setSource(QUrl());
        },
        Qt::QueuedConnection);
    notify();
}

void QtMusicDevice::close() {
    if (!open_) return;
    open_ = false;
    player_->stop();
    player_->setSource(QUrl());
}

bool QtMusicDevice::isPlaying() const {
    return open_ && player_->playbackState() == QMediaPlayer::PlayingState;
}

qint64 QtMusicDevice::positionMs() const {
    return open_ ? player_->position() : 0;
}

bool QtMusicDevice::send(const std::string& command, std::string* reply) {
    const QString c = QString::fromStdString(command);
    static const QString openHead = "open \"", openTail = "\" alias MIDI";
    if (c.startsWith(openHead) && c.endsWith(openTail)) {
        // The alias is taken while a file is open.
        if (open_) return false;
        const QString path = c.mid(openHead.size(), c.size() - openHead.size() - openTail.size());
        if (!QFileInfo(path).isFile()) return false;
        open_ = true;
        lastError_.clear();
        // A freshly opened file waits, stopped, at its beginning.
        player_->setSource(QUrl::fromLocalFile(path));
        return true;
    }
    if (c == "close MIDI notify") {
        const bool wasOpen = open_;
        close();
        return wasOpen;
    }
    // Every other command needs an open file; a failed status query leaves the reply as it was.
    if (!open_) return false;
    if (c == "status MIDI mode") {
        if (reply) {
            const std::string mode = isPlaying() ? "playing" : "stopped";
            reply->replace(0, std::min(mode.size(), reply->size()), mode, 0,
                           std::min(mode.size(), reply->size()));
        }
        return true;
    }
    if (c == "play MIDI notify") {
        // From where the piece stands: its beginning after open or seek, the stopping point after stop.
        player_->play();
        return true;
    }
    if (c == "stop MIDI notify") {
        // The piece stops where it is; playing again goes on from there.
        player_->pause();
        return true;
    }
    if (c == "seek MIDI to start") {
        // Seeking stops the piece, ready at its beginning.
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
