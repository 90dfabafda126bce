#pragma once
#include <QFile>
#include <fstream>
#include <string>

// The short sample: raw MP3 frames lasting 0.47 seconds, which can be repeated into a longer piece.
inline const std::string kSampleMp3 = std::string(RUMENA_TEST_DATA) + "/short.mp3";
constexpr int kSampleMs = 470;

// Writes a piece of about the given length made of the sample repeated.
inline void writeRepeatedSample(const std::string& path, int seconds) {
    QFile sample(QString::fromStdString(kSampleMp3));
    sample.open(QIODevice::ReadOnly);
    const QByteArray frames = sample.readAll();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < seconds * 1000 / kSampleMs + 1; ++i) out.write(frames.constData(), frames.size());
}

// Whether memory figures mean anything: the address sanitizer keeps freed memory aside for a while.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryFiguresHold = false;
#else
constexpr bool kMemoryFiguresHold = true;
#endif

// The process's resident memory in MiB.
inline double residentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// Whether this run is meant to have a sound server (1), to have none (0), or does not say (empty).
inline std::string expectedSound() {
    const char* v = std::getenv("RUMENA_EXPECT_SOUND");
    return v ? v : "";
}
