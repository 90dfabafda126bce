#include "qt/QtMusicDevice.h"

#include "qt/PcmPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QFileInfo>
#include <QMediaDevices>
#include <iostream>

namespace {

// Samples as the desktop's sound output takes them, in 16-bit integers.
QAudioFormat sampleFormat() {
    QAudioFormat format;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (!output.isNull()) format = output.preferredFormat();
    if (format.sampleRate() <= 0) format.setSampleRate(44100);
    if (format.channelCount() <= 0) format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

QtMusicDevice::QtMusicDevice() = default;

QtMusicDevice::~QtMusicDevice() {
    // Nobody listens any more while the piece winds down.
    onStateChange_ = nullptr;
    close();
    // No event loop is left to delete the closed players: they go now, with their decoders.
    for (const QPointer<PcmPlayer>& p : closed_) delete p.data();
}

void QtMusicDevice::notify() {
    if (onStateChange_) onStateChange_();
}

void QtMusicDevice::startSound() {
    if (!soundHeld_) return;
    soundHeld_ = false;
    if (player_) player_->start(sampleFormat());
}

void QtMusicDevice::close() {
    if (!player_) return;
    // The player falls silent now and goes once control is back in the event loop: nothing it does
    // while it goes reaches the game, and the game never reaches it again.
    player_->disconnect(this);
    player_->halt();
    std::erase_if(closed_, [](const QPointer<PcmPlayer>& p) { return p.isNull(); });
    closed_.emplace_back(player_.get());
    player_.release()->deleteLater();
}

bool QtMusicDevice::isPlaying() const {
    return player_ && player_->isPlaying();
}

bool QtMusicDevice::isAudible() const {
    return player_ && player_->audible();
}

qint64 QtMusicDevice::positionMs() const {
    return player_ ? player_->positionMs() : 0;
}

bool QtMusicDevice::send(const std::string& command, std::string* reply) {
    const QString c = QString::fromStdString(command);
    static const QString openHead = "open \"", openTail = "\" alias MIDI";
    if (c.startsWith(openHead) && c.endsWith(openTail)) {
        // The alias is taken while a file is open.
        if (player_) return false;
        const QString path = c.mid(openHead.size(), c.size() - openHead.size() - openTail.size());
        if (!QFileInfo(path).isFile()) return false;
        lastError_.clear();
        // A freshly opened piece waits, stopped, at its beginning.
        player_ = std::make_unique<PcmPlayer>(path);
        connect(player_.get(), &PcmPlayer::stateChanged, this, &QtMusicDevice::notify);
        connect(player_.get(), &PcmPlayer::failed, this, [this, path](const QString& why) {
            // A file the decoder cannot read is as good as one that never opened.
            lastError_ = why.isEmpty() ? QStringLiteral("the file is not music the decoder can read") : why;
            // The game goes on in silence; the story's author is told once which file it was.
            if (!warned_.contains(path)) {
                warned_.insert(path);
                std::cerr << "rumena: warning: " << path.toStdString() << ": the music cannot be decoded ("
                          << lastError_.toStdString() << ")\n";
            }
            close();
            notify();
        });
        if (!soundHeld_) player_->start(sampleFormat());
        return true;
    }
    if (c == "close MIDI notify") {
        const bool wasOpen = isOpen();
        close();
        return wasOpen;
    }
    // Every other command needs an open file; a failed status query leaves the reply as it was.
    if (!player_) return false;
    if (c == "status MIDI mode") {
        if (reply) {
            const std::string mode = isPlaying() ? "playing" : "stopped";
            const std::size_t n = std::min(mode.size(), reply->size());
            reply->replace(0, n, mode, 0, n);
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
        player_->seekToStart();
        return true;
    }
    if (c == "play MIDI from 0") {
        player_->seekToStart();
        player_->play();
        return true;
    }
    return false;
}
