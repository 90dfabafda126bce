#include "qt/WindowVoice.h"

#include <QCoreApplication>
#include <QTextToSpeech>

bool WindowVoice::available(QString* why) {
    if (speaker_) return true;
    if (QTextToSpeech::availableEngines().isEmpty()) {
        *why =
            tr("Reading aloud needs a voice, and none is installed (speech-dispatcher with a voice such as "
               "espeak-ng, and the package qt6-speech-speechd-plugin).");
        return false;
    }
    if (!engine_) {
        engine_ = new QTextToSpeech(this);
        connect(engine_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
            if (s == QTextToSpeech::Ready) next();
        });
    }
    if (engine_->state() == QTextToSpeech::Error || engine_->availableVoices().isEmpty()) {
        *why = QCoreApplication::translate(
            "rumena",
            "Reading aloud needs a voice, and the speech engine offers none (is speech-dispatcher running, "
            "with a voice such as espeak-ng?).");
        return false;
    }
    return true;
}

void WindowVoice::say(const std::vector<std::u16string>& lines) {
    for (const auto& line : lines) {
        const QString text = QString::fromStdU16String(line);
        if (speaker_)
            speaker_(text);
        else
            queue_ << text;
    }
    if (engine_ && engine_->state() == QTextToSpeech::Ready) next();
}

void WindowVoice::next() {
    if (queue_.isEmpty() || !engine_) return;
    engine_->say(queue_.takeFirst());
}

void WindowVoice::stop() {
    queue_.clear();
    if (engine_) engine_->stop();
}
