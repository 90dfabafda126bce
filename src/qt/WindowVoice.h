#pragma once
#include <QObject>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QTextToSpeech;

// Reading aloud in the window, through Qt TextToSpeech (speech-dispatcher's voices): one utterance after
// another, in the order they come. The speech engine is made only when reading aloud is first switched
// on, so a player who never uses it pays nothing for it.
class WindowVoice : public QObject {
    Q_OBJECT
  public:
    explicit WindowVoice(QObject* parent) : QObject(parent) {}

    // Whether a voice can speak here; when none can, why (for the player).
    bool available(QString* why);
    void say(const std::vector<std::u16string>& lines);
    void stop();
    // What would be spoken goes here instead of to a speech engine (for tests).
    void speakTo(std::function<void(const QString&)> speaker) { speaker_ = std::move(speaker); }

  private:
    void next();

    QTextToSpeech* engine_ = nullptr;
    QStringList queue_;
    std::function<void(const QString&)> speaker_;
};
