#include "qt/PcmPlayer.h"

#include "qt/DecodedPiece.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

namespace {

// The sound output holds this much; topping it up at the feeding interval keeps it from running dry.
constexpr qint64 kBufferMs = 500;
constexpr int kFeedMs = 120;
// Decoding runs far ahead of playing, but a piece starts only with this much in hand.
constexpr qint64 kHeadStartMs = 1000;
// A sound output that never says it ran dry is taken to be done this long after the piece's end.
constexpr qint64 kEndMarginMs = 100;

} // namespace

PcmPlayer::PcmPlayer(const DecodedPiece& piece) : piece_(piece) {
    feeder_.setSingleShot(true);
    connect(&feeder_, &QTimer::timeout, this, &PcmPlayer::feed);
    // A piece asked to play while it is still being decoded starts once enough of it is there.
    connect(&piece_, &DecodedPiece::grew, this, [this] {
        if (playing_ && !outputting_) startOutput();
    });
}

PcmPlayer::~PcmPlayer() {
    stopOutput();
}

qint64 PcmPlayer::position() const {
    if (!outputting_) return from_;
    // The clock from the moment the output began to play: what the output took in runs ahead of what
    // was heard by as much as its buffer holds.
    const qint64 played = piece_.bytesForMs(std::max(qint64{0}, clock_.elapsed() - startedAt_));
    return std::min(from_ + played, static_cast<qint64>(piece_.samples().size()));
}

qint64 PcmPlayer::positionMs() const {
    return piece_.msForBytes(position());
}

void PcmPlayer::play() {
    if (playing_) return;
    playing_ = true;
    startOutput();
    emit stateChanged();
}

void PcmPlayer::pause() {
    if (!playing_) return;
    from_ = position();
    stopOutput();
    playing_ = false;
    emit stateChanged();
}

void PcmPlayer::seekToStart() {
    pause();
    from_ = 0;
}

void PcmPlayer::startOutput() {
    const qint64 available = piece_.samples().size() - from_;
    if (!piece_.complete() && available < piece_.bytesForMs(kHeadStartMs)) return;
    outputting_ = true;
    written_ = from_;
    // Without a sound output the clock alone tells where the piece is.
    clock_.start();
    startedAt_ = 0;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull() && device.isFormatSupported(piece_.format())) {
        sink_ = std::make_unique<QAudioSink>(device, piece_.format());
        sink_->setBufferSize(static_cast<qsizetype>(piece_.bytesForMs(kBufferMs)));
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
        if (!io_ || sink_->error() != QAudio::NoError) {
            sink_.reset();
            io_ = nullptr;
        }
    }
    feed();
}

void PcmPlayer::stopOutput() {
    feeder_.stop();
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    io_ = nullptr;
    outputting_ = false;
}

void PcmPlayer::feed() {
    if (!outputting_) return;
    const QByteArray& samples = piece_.samples();
    const qint64 size = samples.size();
    if (sink_ && io_) {
        qint64 room = sink_->bytesFree();
        while (room > 0 && written_ < size) {
            const qint64 n = io_->write(samples.constData() + written_, std::min(room, size - written_));
            if (n <= 0) break;
            written_ += n;
            room -= n;
        }
    }
    if (!piece_.complete()) return feeder_.start(kFeedMs);
    // The end: the output has run dry after the last samples, or the clock says the piece is over.
    const bool dry = sink_ && heard_ && written_ >= size && sink_->state() == QAudio::IdleState;
    const qint64 left =
        piece_.msForBytes(size - from_) - (clock_.elapsed() - startedAt_) + (sink_ ? kEndMarginMs : 0);
    if (dry || left <= 0) return end();
    feeder_.start(static_cast<int>(sink_ ? std::min(left, qint64{kFeedMs}) : left));
}

void PcmPlayer::end() {
    from_ = piece_.samples().size();
    stopOutput();
    playing_ = false;
    emit stateChanged();
}
