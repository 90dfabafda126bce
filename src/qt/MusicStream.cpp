#include "qt/MusicStream.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QUrl>
#include <algorithm>
#include <cstring>

MusicStream::MusicStream(QString path) : path_(std::move(path)) {}

MusicStream::~MusicStream() {
    if (!decoder_) return;
    disconnect(decoder_, nullptr, this, nullptr);
    decoder_->stop();
}

void MusicStream::start(const QAudioFormat& format) {
    if (decoder_) return;
    format_ = format;
    decoder_ = new QAudioDecoder(this);
    decoder_->setAudioFormat(format);
    // Samples are taken as the reader needs them; until then the decoder waits with a few in hand.
    connect(decoder_, &QAudioDecoder::bufferReady, this, &MusicStream::pull);
    connect(decoder_, &QAudioDecoder::finished, this, &MusicStream::finish);
    connect(decoder_, &QAudioDecoder::durationChanged, this, [this] {
        considerKeepingWhole();
        pull();
    });
    connect(decoder_, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this, [this] {
        // A file that breaks off part of the way plays as far as it goes.
        if (anySamples_)
            finish();
        else
            emit failed(decoder_->errorString());
    });
    decoder_->setSource(QUrl::fromLocalFile(path_));
    decoding_ = true;
    decoder_->start();
}

qint64 MusicStream::bytesForMs(qint64 ms) const {
    const qint64 frame = format_.bytesPerFrame();
    return frame <= 0 ? 0 : ms * format_.sampleRate() / 1000 * frame;
}

qint64 MusicStream::msForBytes(qint64 bytes) const {
    const qint64 perSecond = static_cast<qint64>(format_.bytesPerFrame()) * format_.sampleRate();
    return perSecond <= 0 ? 0 : bytes * 1000 / perSecond;
}

void MusicStream::considerKeepingWhole() {
    // Only while everything decoded so far is still in the kept beginning, so the whole stays unbroken.
    if (whole_ || !decoder_ || !decoding_ || bufferStart_ != 0 || decoded_ != head_.size()) return;
    const qint64 duration = decoder_->duration();
    if (duration <= 0 || duration > kWholeMs) return;
    whole_ = true;
    buffer_.clear();
    bufferStart_ = head_.size();
}

void MusicStream::letGoOfWhole() {
    // The length the decoder foresaw was wrong: the piece is decoded as it plays after all.
    whole_ = false;
    const qint64 headBytes = bytesForMs(kHeadMs);
    if (head_.size() > headBytes) {
        head_.truncate(headBytes);
        head_.squeeze();
    }
    restartAt(std::max(pos_, qint64{head_.size()}));
}

void MusicStream::pull() {
    if (!decoder_) return;
    considerKeepingWhole();
    bool grewNow = false;
    bool kept = true;
    // Once far enough ahead the rest waits in the decoder, which stops until they are taken; a piece
    // kept whole is taken as fast as it comes.
    while (decoding_ && decoder_->bufferAvailable() &&
           (whole_ || bufferEnd() - pos_ < bytesForMs(kAheadMs))) {
        const QAudioBuffer samples = decoder_->read();
        if (!samples.isValid()) continue;
        if (!anySamples_) format_ = samples.format();
        anySamples_ = true;
        grewNow = true;
        kept = append(samples.constData<char>(), samples.byteCount());
        if (!kept) break;
    }
    if (!kept) letGoOfWhole();
    if (grewNow) emit grew();
}

bool MusicStream::append(const char* data, qint64 size) {
    const qint64 from = decoded_;
    decoded_ += size;
    if (whole_ && from == head_.size()) {
        if (decoded_ > bytesForMs(kWholeMs) * 5 / 4) return false;
        head_.append(data, size);
        bufferStart_ = head_.size();
        return true;
    }
    // The beginning is kept for good the first time through.
    const qint64 headBytes = bytesForMs(kHeadMs);
    if (from == head_.size() && from < headBytes) head_.append(data, std::min(size, headBytes - from));
    // After a restart, what is already held is passed over.
    const qint64 skipped = std::clamp(bufferEnd() - from, qint64{0}, size);
    if (from + skipped == bufferEnd()) buffer_.append(data + skipped, size - skipped);
    return true;
}

void MusicStream::finish() {
    if (!decoding_) return;
    // The last samples may still be waiting; they are taken however far ahead they lie.
    bool kept = true;
    while (decoder_->bufferAvailable()) {
        const QAudioBuffer samples = decoder_->read();
        if (samples.isValid()) kept = append(samples.constData<char>(), samples.byteCount()) && kept;
    }
    decoding_ = false;
    length_ = decoded_;
    decoder_->stop();
    if (!kept) letGoOfWhole();
    emit grew();
}

void MusicStream::restartAt(qint64 from) {
    buffer_.clear();
    bufferStart_ = from;
    decoded_ = 0;
    if (!decoder_) return;
    // Not the piece's end: the decoder is stopped to begin again.
    decoding_ = false;
    decoder_->stop();
    decoding_ = true;
    decoder_->start();
}

void MusicStream::seek(qint64 position) {
    pos_ = std::max(qint64{0}, position);
    if (length_ >= 0) pos_ = std::min(pos_, length_);
    const qint64 head = head_.size();
    const bool wholeInHead = length_ >= 0 && length_ <= head;
    if (pos_ < head) {
        // From the kept beginning; the decoder must go on from where the beginning ends.
        if (!wholeInHead && bufferStart_ > head) restartAt(head);
    } else if (pos_ < bufferStart_ || pos_ > bufferEnd()) {
        restartAt(pos_);
    }
    pull();
}

qint64 MusicStream::available() const {
    const qint64 head = head_.size();
    if (pos_ < head) {
        const qint64 fromBuffer = bufferStart_ <= head ? std::max(qint64{0}, bufferEnd() - head) : 0;
        return head - pos_ + fromBuffer;
    }
    return pos_ >= bufferStart_ ? std::max(qint64{0}, bufferEnd() - pos_) : 0;
}

qint64 MusicStream::take(char* data, qint64 max) {
    qint64 done = 0;
    while (done < max) {
        const qint64 head = head_.size();
        qint64 n = 0;
        if (pos_ < head) {
            n = std::min(max - done, head - pos_);
            if (data) std::memcpy(data + done, head_.constData() + pos_, n);
        } else if (pos_ >= bufferStart_ && pos_ < bufferEnd()) {
            n = std::min(max - done, bufferEnd() - pos_);
            if (data) std::memcpy(data + done, buffer_.constData() + (pos_ - bufferStart_), n);
        }
        if (n <= 0) break;
        pos_ += n;
        done += n;
    }
    // What lies well behind the reader is let go, a second's worth at a time.
    const qint64 keep = pos_ - bytesForMs(kBehindMs);
    if (keep - bufferStart_ > bytesForMs(1000)) {
        buffer_.remove(0, keep - bufferStart_);
        bufferStart_ = keep;
    }
    pull();
    return done;
}

qint64 MusicStream::read(char* data, qint64 max) {
    return take(data, max);
}

qint64 MusicStream::skip(qint64 max) {
    return take(nullptr, max);
}
