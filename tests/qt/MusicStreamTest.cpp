#include "qt/MusicStream.h"
#include "EventPump.h"
#include "MusicFiles.h"
#include "support/TestGame.h"

#include <QAudioFormat>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

QAudioFormat cdFormat() {
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// Reads up to `bytes` from the stream as fast as the decoder gives them; the whole rest by default.
QByteArray readAll(MusicStream& stream, qint64 bytes = -1) {
    QByteArray out;
    pumpUntil(
        [&] {
            while (stream.available() > 0 && (bytes < 0 || out.size() < bytes)) {
                QByteArray chunk(static_cast<qsizetype>(std::min<qint64>(
                                     stream.available(), bytes < 0 ? 65536 : bytes - out.size())),
                                 '\0');
                stream.read(chunk.data(), chunk.size());
                out.append(chunk);
            }
            return stream.atEnd() || (bytes >= 0 && out.size() >= bytes);
        },
        20000);
    return out;
}

class MusicStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Long enough that its middle lies beyond the kept beginning and the decoder's lead.
        writeRepeatedSample(game.dir() + "/piece.mp3", 6);
        stream = std::make_unique<MusicStream>(QString::fromStdString(game.dir() + "/piece.mp3"));
        stream->start(cdFormat());
        first = readAll(*stream);
        if (first.isEmpty()) GTEST_SKIP() << "this machine's media back end cannot decode MP3";
    }
    TempGame game;
    std::unique_ptr<MusicStream> stream;
    QByteArray first;
};

} // namespace

TEST_F(MusicStreamTest, PlaysThroughToAKnownEndAndAgainIdentically) {
    ASSERT_TRUE(stream->atEnd());
    EXPECT_EQ(stream->length(), first.size());
    EXPECT_NEAR(stream->msForBytes(first.size()), 6 * 1000 / kSampleMs * kSampleMs + kSampleMs, 100);
    // From the beginning again: the kept head first, then the decoder started over behind it.
    stream->seek(0);
    EXPECT_GE(stream->available(), stream->bytesForMs(MusicStream::kHeadMs))
        << "the beginning is ready at once";
    const QByteArray second = readAll(*stream);
    ASSERT_EQ(second.size(), first.size());
    EXPECT_TRUE(second == first) << "the second time through should give the very same samples";
}

TEST_F(MusicStreamTest, GoesBackAmongTheLastSecondsReadAndOnFromThere) {
    stream->seek(0);
    const qint64 at = stream->bytesForMs(4000);
    readAll(*stream, at);
    ASSERT_EQ(stream->position(), at);
    // A pause: what the sound output held but never played is read again.
    const qint64 back = at - stream->bytesForMs(500);
    stream->seek(back);
    const QByteArray again = readAll(*stream, stream->bytesForMs(1000));
    ASSERT_EQ(again.size(), stream->bytesForMs(1000));
    EXPECT_TRUE(again == first.mid(back, again.size()));
}

TEST_F(MusicStreamTest, HoldsOnlyAFewSecondsWhateverThePieceLasts) {
    // A piece longer than is kept whole, read slowly: the decoder waits a couple of seconds ahead of the
    // reader.
    writeRepeatedSample(game.dir() + "/long.mp3", 90);
    MusicStream slow(QString::fromStdString(game.dir() + "/long.mp3"));
    slow.start(cdFormat());
    readAll(slow, slow.bytesForMs(500));
    pumpFor(500);
    const qint64 ahead = slow.available();
    EXPECT_GT(ahead, 0);
    EXPECT_LE(slow.msForBytes(ahead), MusicStream::kAheadMs + 500) << "the decoder should wait, not run on";
    EXPECT_LT(slow.length(), 0) << "the end is not reached by a reader this far behind";
}

TEST_F(MusicStreamTest, NoiseOrAPieceCutShortEndsOrFailsQuietly) {
    std::string noise(256 * 1024, '\0');
    unsigned state = 13;
    for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    game.bytes("noise.mp3", noise);
    // The sample cut in the middle of a frame.
    std::ifstream sample(kSampleMp3, std::ios::binary);
    const std::string cut((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    game.bytes("cut.mp3", cut.substr(0, cut.size() / 3 + 7));
    const double before = residentMiB();
    for (const char* name : {"noise.mp3", "cut.mp3"}) {
        SCOPED_TRACE(name);
        MusicStream piece(QString::fromStdString(game.dir() + "/" + name));
        bool failed = false;
        QObject::connect(&piece, &MusicStream::failed, [&] { failed = true; });
        piece.start(cdFormat());
        EXPECT_TRUE(pumpUntil(
            [&] {
                QByteArray chunk(65536, '\0');
                while (piece.available() > 0) piece.read(chunk.data(), chunk.size());
                return failed || piece.atEnd();
            },
            20000))
            << "the piece neither ended nor failed";
    }
    if (kMemoryFiguresHold) {
        EXPECT_LT(residentMiB() - before, 64.0);
    }
}

TEST_F(MusicStreamTest, AShortPieceIsDecodedAtOnceAndLoopsWithoutTheDecoder) {
    // Nothing is read: a piece under a minute is decoded to its end all the same, and kept.
    MusicStream piece(QString::fromStdString(game.dir() + "/piece.mp3"));
    piece.start(cdFormat());
    ASSERT_TRUE(pumpUntil([&] { return piece.length() >= 0; }, 20000)) << "the piece was not decoded whole";
    EXPECT_TRUE(piece.keptWhole());
    EXPECT_EQ(piece.available(), piece.length());
    const QByteArray once = readAll(piece);
    piece.seek(0);
    EXPECT_EQ(piece.available(), piece.length()) << "the loop starts again from memory, every sample ready";
    EXPECT_TRUE(readAll(piece) == once);
    EXPECT_TRUE(once == first) << "kept whole or decoded as it plays, the samples are the same";
}
