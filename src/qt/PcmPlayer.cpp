#include "qt/PcmPlayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace {

// The sound output holds this much; topping it up at the feeding interval keeps it from running dry.
constexpr qint64 kBufferMs = 1000;
constexpr int kFeedMs = 250;
// Without a sound output the decoder is kept moving at this pace, so the piece's end is known in time.
constexpr int kSilentFeedMs = 250;
// A piece starts only with this much decoded, unless it is shorter.
constexpr qint64 kHeadStartMs = 300;
// A sound output that never says it ran dry is taken to be done this long after the piece's end.
constexpr qint64 kEndMarginMs = 100;

} // namespace

PcmPlayer::PcmPlayer(const QString& path) : stream_(path) {
    feeder_.setSingleShot(true);
    connect(&feeder_, &QTimer::timeout, this, &PcmPlayer::feed);
    // A piece asked to play before enough of it is decoded starts once it is.
    connect(&stream_, &MusicStream::grew, this, [this] {
        if (playing_ && !outputting_) startOutput();
    });
    connect(&stream_, &MusicStream::failed, this, &PcmPlayer::failed);
}

PcmPlayer::~PcmPlayer() {
    halt();
}

void PcmPlayer::start(const QAudioFormat& format) {
    if (halted_ || stream_.started()) return;
    stream_.start(format);
}

void PcmPlayer::halt() {
    halted_ = true;
    stopOutput();
    stream_.disconnect(this);
}

qint64 PcmPlayer::heardMs() const {
    return std::max(qint64{0}, clock_.elapsed() - startedAt_);
}

qint64 PcmPlayer::position() const {
    if (!outputting_) return from_;
    // The clock from the moment the output began to play: what the output took in runs ahead of what
    // was heard by as much as its buffer holds.
    qint64 at = from_ + stream_.bytesForMs(heardMs());
    if (sink_) at = std::min(at, stream_.position());
    if (stream_.length() >= 0) at = std::min(at, stream_.length());
    return at;
}

qint64 PcmPlayer::positionMs() const {
    return stream_.msForBytes(position());
}

void PcmPlayer::play() {
    if (playing_ || halted_) return;
    playing_ = true;
    startOutput();
    emit stateChanged();
}

void PcmPlayer::pause() {
    if (!playing_) return;
    from_ = position();
    stopOutput();
    // What the output held but never played is read again when the piece goes on.
    stream_.seek(from_);
    playing_ = false;
    emit stateChanged();
}

void PcmPlayer::seekToStart() {
    pause();
    from_ = 0;
    stream_.seek(0);
}

void PcmPlayer::startOutput() {
    if (halted_ || !stream_.started()) return;
    if (stream_.length() < 0 && stream_.available() < stream_.bytesForMs(kHeadStartMs)) return;
    outputting_ = true;
    // Without a sound output the clock alone tells where the piece is.
    clock_.start();
    startedAt_ = 0;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull() && device.isFormatSupported(stream_.format())) {
        sink_ = std::make_unique<QAudioSink>(device, stream_.format());
        sink_->setBufferSize(static_cast<qsizetype>(stream_.bytesForMs(kBufferMs)));
        // The output runs dry (idle) once the last samples written have been heard.
        connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::ActiveState && !heard_) {
                heard_ = true;
                startedAt_ = clock_.elapsed();
            }
            // Looked at once the output is done telling, as the end lets go of it.
            if (state == QAudio::IdleState) feeder_.start(0);
        });
        heard_ = false;
        io_ = sink_->start();
        if (!io_ || sink_->error() != QAudio::NoError) dropSink();
    }
    feed();
}

void PcmPlayer::stopOutput() {
    feeder_.stop();
    outputting_ = false;
    dropSink();
}

void PcmPlayer::dropSink() {
    io_ = nullptr;
    if (!sink_) return;
    // The output is taken down only once control is back in the event loop: that may wait for the
    // sound server, and nothing may run in the middle of a command.
    sink_->disconnect(this);
    QAudioSink* sink = sink_.release();
    sink->stop();
    sink->deleteLater();
}

void PcmPlayer::writeToOutput() {
    qint64 room = sink_->bytesFree();
    QByteArray chunk;
    while (room > 0 && stream_.available() > 0) {
        chunk.resize(static_cast<qsizetype>(std::min(room, stream_.available())));
        const qint64 got = stream_.read(chunk.data(), chunk.size());
        const qint64 n = io_->write(chunk.constData(), got);
        // What the output would not take is read again next time.
        if (n < got) stream_.seek(stream_.position() - (got - std::max(qint64{0}, n)));
        if (n <= 0) break;
        room -= n;
    }
}

void PcmPlayer::feed() {
    if (!outputting_) return;
    if (sink_ && io_) {
        writeToOutput();
    } else {
        // Silent: the piece is taken as fast as it would have been heard.
        const qint64 at = from_ + stream_.bytesForMs(heardMs());
        if (at > stream_.position()) stream_.skip(at - stream_.position());
    }
    const int pace = sink_ ? kFeedMs : kSilentFeedMs;
    const qint64 length = stream_.length();
    if (length < 0) return feeder_.start(pace);
    // The end: the output has run dry after the last samples, or the clock says the piece is over.
    const bool dry = sink_ && heard_ && stream_.position() >= length && sink_->state() == QAudio::IdleState;
    const qint64 left = stream_.msForBytes(length - from_) - heardMs() + (sink_ ? kEndMarginMs : 0);
    if (dry || left <= 0) return end();
    feeder_.start(static_cast<int>(std::min(left, qint64{pace})));
}

void PcmPlayer::end() {
    from_ = stream_.length();
    stopOutput();
    playing_ = false;
    emit stateChanged();
}
