#pragma once
#include "qt/MusicStream.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

class QAudioSink;
class QIODevice;

// Plays a piece through the desktop's sound output as it is decoded, topping up a one-second buffer
// a few times a second. Without a sound output the piece keeps time silently, so it still ends when it
// would have.
class PcmPlayer : public QObject {
    Q_OBJECT
  public:
    explicit PcmPlayer(const QString& path);
    ~PcmPlayer() override;

    // Begins decoding; until then the piece waits at its beginning, playing or not.
    void start(const QAudioFormat& format);
    // Plays from where the piece stands; at its end it stops there by itself.
    void play();
    // Stops where the piece is.
    void pause();
    void seekToStart();
    // Falls silent at once and for good; the player is about to go.
    void halt();
    bool isPlaying() const { return playing_; }
    // Whether the desktop's sound output is taking the piece (else it keeps time silently).
    bool audible() const { return sink_ != nullptr; }
    qint64 positionMs() const;
    const MusicStream& stream() const { return stream_; }

  signals:
    // Playing started or stopped (the piece ended, or pause).
    void stateChanged();
    // The file is not music the decoder can read.
    void failed(const QString& why);

  private:
    void startOutput();
    void stopOutput();
    void dropSink();
    void feed();
    void writeToOutput();
    void end();
    qint64 position() const;
    qint64 heardMs() const;
    MusicStream stream_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
    QElapsedTimer clock_;
    QTimer feeder_;
    qint64 from_ = 0;      // bytes: where the present stretch of playing began
    qint64 startedAt_ = 0; // ms on the clock when the sound output began to play
    bool playing_ = false;
    bool outputting_ = false;
    bool heard_ = false; // the sound output has started playing what it was given
    bool halted_ = false;
};
