#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

class DecodedPiece;
class QAudioSink;
class QIODevice;

// Plays a decoded piece through the desktop's sound output, topping up a half-second buffer a few
// times a second. Without a sound output the piece keeps time silently, so it still ends when it
// would have.
class PcmPlayer : public QObject {
    Q_OBJECT
  public:
    explicit PcmPlayer(const DecodedPiece& piece);
    ~PcmPlayer() override;

    // Plays from where the piece stands; at its end it stops there by itself.
    void play();
    // Stops where the piece is.
    void pause();
    void seekToStart();
    bool isPlaying() const { return playing_; }
    qint64 positionMs() const;

  signals:
    // Playing started or stopped (the piece ended, or pause).
    void stateChanged();

  private:
    void startOutput();
    void stopOutput();
    void feed();
    void end();
    qint64 position() const;
    const DecodedPiece& piece_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
    QElapsedTimer clock_;
    QTimer feeder_;
    qint64 from_ = 0;      // bytes: where the present stretch of playing began
    qint64 written_ = 0;   // bytes handed to the sound output
    qint64 startedAt_ = 0; // ms on the clock when the sound output began to play
    bool playing_ = false;
    bool outputting_ = false;
    bool heard_ = false; // the sound output has started playing what it was given
};
