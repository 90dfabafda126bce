#pragma once
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioDecoder;

// A piece of music decoded while it plays. The decoder runs a couple of seconds ahead of the reader
// and waits there, so a long piece costs no more memory than a short one. The first seconds are kept,
// so that the piece starts again from its beginning at once, and so are the last seconds read, so that
// a piece stopped while the sound output still held some of it goes on from where it was heard.
// A piece of a minute or less is decoded at once and kept whole: looping it then costs no decoding.
class MusicStream : public QObject {
    Q_OBJECT
  public:
    explicit MusicStream(QString path);
    ~MusicStream() override;

    // Begins decoding into samples of the given format (the decoder converts to it).
    void start(const QAudioFormat& format);
    bool started() const { return decoder_ != nullptr; }
    const QAudioFormat& format() const { return format_; }

    // Where the reader stands, in bytes of samples from the beginning.
    qint64 position() const { return pos_; }
    // Moves the reader to the beginning, or back to a place among the last seconds read.
    void seek(qint64 position);
    // Bytes ready at the reader's place.
    qint64 available() const;
    qint64 read(char* data, qint64 max);
    // Moves the reader on without taking the samples (played without a sound output).
    qint64 skip(qint64 max);
    // The piece's length in bytes once the decoder has been through it, else -1.
    qint64 length() const { return length_; }
    bool atEnd() const { return length_ >= 0 && pos_ >= length_; }

    qint64 bytesForMs(qint64 ms) const;
    qint64 msForBytes(qint64 bytes) const;

    // How far ahead of the reader the decoder runs, and how much of the beginning is kept.
    static constexpr qint64 kAheadMs = 2000;
    static constexpr qint64 kHeadMs = 2000;
    static constexpr qint64 kBehindMs = 1500;
    static constexpr qint64 kWholeMs = 60000;
    // Whether the whole piece is being, or has been, decoded into memory.
    bool keptWhole() const { return whole_; }

  signals:
    // More samples are ready, or the end of the piece became known.
    void grew();
    // The file is not music the decoder can read; no samples came.
    void failed(const QString& why);

  private:
    qint64 take(char* data, qint64 max);
    void pull();
    // Takes samples the decoder gave; false when a piece being kept whole outgrew what it may take.
    bool append(const char* data, qint64 size);
    void finish();
    void restartAt(qint64 from);
    void considerKeepingWhole();
    void letGoOfWhole();
    qint64 bufferEnd() const { return bufferStart_ + buffer_.size(); }

    QString path_;
    QAudioDecoder* decoder_ = nullptr;
    QAudioFormat format_;
    QByteArray head_;   // the first seconds of the piece
    QByteArray buffer_; // decoded samples from bufferStart_ on
    qint64 bufferStart_ = 0;
    qint64 decoded_ = 0; // bytes the decoder has given since it last started
    qint64 pos_ = 0;
    qint64 length_ = -1;
    bool decoding_ = false; // the decoder has more to give
    bool anySamples_ = false;
    bool whole_ = false;
};
