#include "qt/SdlMusicDevice.h"

#include <QFileInfo>
#include <algorithm>
#include <iostream>

namespace {

// While the output is still loading the piece or has not begun to play it, it is looked at this often.
constexpr int kLengthCheckMs = 100;
// A piece that has not ended this long after it should have is left to the watchdog's own poll.
constexpr qint64 kOverdueMs = 2000;

} // namespace

SdlMusicDevice::SdlMusicDevice() {
    endCheck_.setSingleShot(true);
    connect(&endCheck_, &QTimer::timeout, this, [this] {
        if (refresh()) {
            if (onPieceEnded) onPieceEnded();
        } else {
            watchForEnd();
        }
    });
}

SdlMusicDevice::~SdlMusicDevice() {
    if (open_ && published_) SdlAudio::instance().drop(wanted_.piece);
}

void SdlMusicDevice::startSound() {
    if (!soundHeld_) return;
    soundHeld_ = false;
    if (!open_) return;
    publish();
    watchForEnd();
}

void SdlMusicDevice::publish() {
    if (soundHeld_) return;
    wanted_.fromMs = static_cast<double>(baseMs_);
    published_ = true;
    SdlAudio::instance().want(wanted_);
}

double SdlMusicDevice::durationMs() const {
    return published_ ? SdlAudio::instance().durationMs(wanted_.piece) : -1;
}

bool SdlMusicDevice::ended() const {
    return published_ && wanted_.playing && SdlAudio::instance().endedRun() == wanted_.run;
}

bool SdlMusicDevice::isPlaying() const {
    return open_ && wanted_.playing && !ended();
}

bool SdlMusicDevice::isAudible() const {
    return open_ && published_ && SdlAudio::instance().audible();
}

qint64 SdlMusicDevice::positionMs() const {
    if (!open_) return 0;
    qint64 ms = baseMs_ + playedMs();
    const double length = durationMs();
    if (length > 0 && (ms > length || ended())) ms = static_cast<qint64>(length);
    return ms;
}

qint64 SdlMusicDevice::playedMs() const {
    std::int64_t at = 0;
    if (!wanted_.playing || !published_ || !SdlAudio::instance().started(wanted_.start, &at)) return 0;
    return std::max<qint64>(0, SdlAudio::nowMs() - at);
}

bool SdlMusicDevice::refresh() {
    if (!open_ || !published_) return false;
    std::string why;
    if (SdlAudio::instance().failed(wanted_.piece, &why)) {
        // A file the decoder cannot read is as good as one that never opened.
        lastError_ = why.empty() ? QStringLiteral("the file is not music the decoder can read")
                                 : QString::fromStdString(why);
        // The game goes on in silence; the story's author is told once which file it was.
        if (!warned_.contains(path_)) {
            warned_.insert(path_);
            std::cerr << "rumena: warning: " << path_.toStdString() << ": the music cannot be decoded ("
                      << lastError_.toStdString() << ")\n";
        }
        drop();
        return true;
    }
    if (!ended()) return false;
    // Played to its end: it waits there, stopped, for the watchdog.
    baseMs_ = positionMs();
    atEnd_ = true;
    wanted_.playing = false;
    publish();
    return true;
}

void SdlMusicDevice::drop() {
    if (published_) SdlAudio::instance().drop(wanted_.piece);
    open_ = false;
    wanted_ = {};
    endCheck_.stop();
}

bool SdlMusicDevice::play() {
    refresh();
    if (!open_) return false;
    // From where the piece stands: its beginning after open or rewind, the stopping point after stop,
    // and at its end it stays stopped there.
    if (wanted_.playing || atEnd_) return true;
    wanted_.playing = true;
    wanted_.start = SdlAudio::newId();
    publish();
    watchForEnd();
    return true;
}

bool SdlMusicDevice::stop() {
    refresh();
    if (!open_) return false;
    // The piece stops where it is; playing again goes on from there.
    if (!wanted_.playing) return true;
    baseMs_ = positionMs();
    wanted_.playing = false;
    endCheck_.stop();
    publish();
    return true;
}

bool SdlMusicDevice::rewind() {
    refresh();
    if (!open_) return false;
    // Stopped, ready at the beginning.
    startAfresh();
    publish();
    return true;
}

void SdlMusicDevice::startAfresh() {
    // Stopped, at the beginning, as a new run that the output starts over.
    wanted_.playing = false;
    wanted_.run = SdlAudio::newId();
    baseMs_ = 0;
    atEnd_ = false;
    endCheck_.stop();
}

void SdlMusicDevice::watchForEnd() {
    if (!wanted_.playing || soundHeld_) return;
    const double length = durationMs();
    std::int64_t at = 0;
    if (length < 0 || !SdlAudio::instance().started(wanted_.start, &at)) {
        endCheck_.start(kLengthCheckMs);
        return;
    }
    // A piece of no known length is left to the watchdog's own poll.
    if (length == 0) return;
    const qint64 left = static_cast<qint64>(length) - (baseMs_ + playedMs());
    if (left < -kOverdueMs) return;
    endCheck_.start(static_cast<int>(std::clamp<qint64>(left + 20, 20, 24 * 3600 * 1000)));
}

bool SdlMusicDevice::open(const std::string& path) {
    // One piece at a time.
    if (open_) return false;
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile()) return false;
    lastError_.clear();
    path_ = file;
    open_ = true;
    wanted_ = {};
    wanted_.piece = SdlAudio::newId();
    wanted_.path = path;
    // A freshly opened piece waits, stopped, at its beginning.
    startAfresh();
    publish();
    return true;
}

bool SdlMusicDevice::close() {
    const bool wasOpen = open_;
    if (open_) drop();
    return wasOpen;
}

std::optional<MusicDevice::Mode> SdlMusicDevice::mode() {
    refresh();
    if (!open_) return std::nullopt;
    return isPlaying() ? Mode::Playing : Mode::Stopped;
}
