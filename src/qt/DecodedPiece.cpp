#include "qt/DecodedPiece.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QUrl>

DecodedPiece::DecodedPiece(const QString& path, const QAudioFormat& format)
    : decoder_(new QAudioDecoder(this)), format_(format) {
    decoder_->setAudioFormat(format);
    connect(decoder_, &QAudioDecoder::bufferReady, this, &DecodedPiece::take);
    connect(decoder_, &QAudioDecoder::finished, this, &DecodedPiece::finish);
    connect(decoder_, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this, [this] {
        // A file that breaks off part of the way plays as far as it goes.
        if (!samples_.isEmpty())
            finish();
        else if (!complete_)
            emit failed(decoder_->errorString());
    });
    decoder_->setSource(QUrl::fromLocalFile(path));
    decoder_->start();
}

DecodedPiece::~DecodedPiece() {
    disconnect(decoder_, nullptr, this, nullptr);
    decoder_->stop();
}

void DecodedPiece::take() {
    while (decoder_->bufferAvailable()) {
        const QAudioBuffer buffer = decoder_->read();
        if (!buffer.isValid()) continue;
        if (samples_.isEmpty()) format_ = buffer.format();
        samples_.append(buffer.constData<char>(), buffer.byteCount());
    }
    if (!samples_.isEmpty()) emit grew();
}

void DecodedPiece::finish() {
    if (complete_) return;
    take();
    complete_ = true;
    decoder_->stop();
    emit grew();
}

qint64 DecodedPiece::bytesForMs(qint64 ms) const {
    const qint64 frame = format_.bytesPerFrame();
    return frame <= 0 ? 0 : ms * format_.sampleRate() / 1000 * frame;
}

qint64 DecodedPiece::msForBytes(qint64 bytes) const {
    const qint64 perSecond = static_cast<qint64>(format_.bytesPerFrame()) * format_.sampleRate();
    return perSecond <= 0 ? 0 : bytes * 1000 / perSecond;
}
