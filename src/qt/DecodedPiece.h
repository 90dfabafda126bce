#pragma once
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioDecoder;

// A piece of music decoded once, in the background, into plain samples kept in memory, so that playing
// and looping it costs no more decoding.
class DecodedPiece : public QObject {
    Q_OBJECT
  public:
    // Starts decoding the file into samples of the given format (the decoder converts to it).
    DecodedPiece(const QString& path, const QAudioFormat& format);
    ~DecodedPiece() override;

    const QByteArray& samples() const { return samples_; }
    const QAudioFormat& format() const { return format_; }
    // Whether the whole file has been decoded.
    bool complete() const { return complete_; }
    qint64 bytesForMs(qint64 ms) const;
    qint64 msForBytes(qint64 bytes) const;

  signals:
    // More samples came (the last time with complete() true).
    void grew();
    // The file is not music the decoder can read; no samples came.
    void failed(const QString& why);

  private:
    void take();
    void finish();
    QAudioDecoder* decoder_;
    QByteArray samples_;
    QAudioFormat format_;
    bool complete_ = false;
};
