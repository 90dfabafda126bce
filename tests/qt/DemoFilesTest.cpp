// Every file of the bundled story that a script or the command panel can name is there and reads: the
// scenes as Shift-JIS with CR LF, the pictures by the format of their content, the music as sound that
// starts and ends in silence, and the bonus-page sources as HTML that says its character set.
#include "EventPump.h"
#include "platform/TextCodec.h"

#include <QImageReader>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kDemo = RUMENA_DEMO_GAME;

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The decoded lines of a text file of the game; fails the test where the file is not clean Shift-JIS
// with CR LF line ends.
std::vector<std::string> textLines(const fs::path& p) {
    const std::string bytes = readBytes(p);
    EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << p << " ends without CR LF";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << p << ": a bare LF at byte " << i;
        }
    const std::u16string text = text::fromShiftJis(bytes);
    EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << p << " holds bytes that are not Shift-JIS";
    std::vector<std::string> lines;
    std::istringstream in(text::toUtf8(text));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string after(const std::string& s, std::size_t at) {
    return at < s.size() ? s.substr(at) : "";
}

// What the scripts of the story name, gathered from the scenes the game can reach.
struct Names {
    std::set<std::string> scenes, pictures, music{"opn", "bgm", "end"}, sources;
    std::set<std::string> pending;

    Names() {
        for (const char* s : {"opn", "staff", "not", "a_m", "a_end", "end", "m_9_0", "m_9_1"})
            pending.insert(s);
        for (const char* p : {"ttl", "dmy", "a", "a_end", "b", "kami", "m_9_0", "m_9_1"}) pictures.insert(p);
        for (int d = 1; d <= 9; ++d) {
            const std::string day = std::to_string(d);
            for (const char* who : {"i_", "r_", "g_"}) {
                pending.insert(who + day);
                pictures.insert(who + day);
            }
            pending.insert("a_" + day);
            if (d <= 8) {
                pending.insert("m_" + day);
                pictures.insert("m_" + day);
            }
            if (d <= 3) pending.insert("b_" + day);
        }
        while (!pending.empty()) {
            const std::string scene = *pending.begin();
            pending.erase(pending.begin());
            if (!scenes.insert(scene).second) continue;
            const fs::path file = kDemo / "txt" / (scene + ".dat");
            if (!fs::exists(file)) continue; // reported by the test
            readScene(textLines(file));
        }
    }

    void branch(const std::string& line) {
        const std::size_t star = line.find('*', 5);
        const std::string targets = after(line, star + 1);
        const std::size_t bar = targets.find('|');
        pending.insert(targets.substr(0, bar));
        pending.insert(after(targets, bar + 1));
    }

    void readScene(const std::vector<std::string>& lines) {
        bool inQuestion = false;
        for (const auto& line : lines) {
            if (line == ">qstend") {
                inQuestion = false;
            } else if (inQuestion) {
                pending.insert(after(line, line.find('>') + 1));
            } else if (line.rfind(">bgm>", 0) == 0) {
                if (line != ">bgm>stop") music.insert(after(line, 5));
            } else if (line.rfind(">imgf", 0) == 0) {
            } else if (line.rfind(">img", 0) == 0) {
                pictures.insert(after(line, 5));
            } else if (line.rfind(">qst", 0) == 0) {
                inQuestion = true;
            } else if (line.rfind(">swc", 0) == 0 || line.rfind(">swb", 0) == 0) {
                branch(line);
            } else if (line.rfind(">ive", 0) == 0) {
                pending.insert(after(line, 5));
            } else if (line.rfind(">html>", 0) == 0) {
                sources.insert(line.substr(6, line.find('>', 6) - 6));
            }
        }
    }
};

const Names& names() {
    static const Names n;
    return n;
}

// Decodes a piece of music to the end; returns its samples as 16-bit mono (the first channel).
std::vector<short> decode(const fs::path& p, std::string* error) {
    std::vector<short> samples;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle || mpg123_open(handle, p.c_str()) != MPG123_OK) {
        *error = handle ? mpg123_strerror(handle) : "no decoder";
        if (handle) mpg123_delete(handle);
        return samples;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_getformat(handle, &rate, &channels, &encoding);
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels, MPG123_ENC_SIGNED_16);
    std::vector<unsigned char> buffer(mpg123_outblock(handle));
    for (;;) {
        std::size_t done = 0;
        const int rc = mpg123_read(handle, buffer.data(), buffer.size(), &done);
        const auto* s = reinterpret_cast<const short*>(buffer.data());
        for (std::size_t i = 0; i < done / sizeof(short); i += std::max(channels, 1)) samples.push_back(s[i]);
        if (rc == MPG123_DONE) break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            *error = mpg123_strerror(handle);
            break;
        }
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return samples;
}

std::uintmax_t folderSize(const fs::path& dir) {
    std::uintmax_t total = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) total += e.file_size();
    return total;
}

} // namespace

TEST(DemoFiles, EverySceneTheGameCanReachIsThere) {
    EXPECT_GE(names().scenes.size(), 60u);
    for (const auto& s : names().scenes) EXPECT_TRUE(fs::exists(kDemo / "txt" / (s + ".dat"))) << s;
    // Each day of each character is a scene of its own, not one text for all days.
    std::set<std::string> texts;
    for (int d = 1; d <= 9; ++d) texts.insert(readBytes(kDemo / "txt" / ("i_" + std::to_string(d) + ".dat")));
    EXPECT_EQ(texts.size(), 9u);
}

TEST(DemoFiles, CommandListHintsAndHelpFitTheGame) {
    EXPECT_EQ(textLines(kDemo / "txt" / "com.dat").size(), 7u);
    const auto hints = textLines(kDemo / "txt" / "hint.dat");
    EXPECT_GE(hints.size(), 10u);
    EXPECT_LE(hints.size(), 31u);
    EXPECT_FALSE(textLines(kDemo / "txt" / "opn_n.dat").empty());
    EXPECT_EQ(textLines(kDemo / "txt" / "staff.dat").back(), ">ending");
}

TEST(DemoFiles, EveryPictureIsThereAndDecodesByItsContent) {
    std::set<QByteArray> formats;
    for (const auto& name : names().pictures) {
        QImageReader reader(QString::fromStdString((kDemo / "grf" / (name + ".dat")).string()));
        reader.setDecideFormatFromContent(true);
        formats.insert(reader.format());
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull()) << name << ": " << reader.errorString().toStdString();
    }
    EXPECT_EQ(formats, (std::set<QByteArray>{"png", "jpeg", "bmp"}));
    EXPECT_LT(folderSize(kDemo / "grf"), 3u * 1024 * 1024);
}

TEST(DemoFiles, EveryPieceOfMusicDecodesAndLoopsFromSilence) {
    EXPECT_GE(names().music.size(), 5u);
    for (const auto& name : names().music) {
        const fs::path file = kDemo / (name + ".mp3");
        ASSERT_TRUE(fs::exists(file)) << name;
        EXPECT_LT(fs::file_size(file), 300u * 1024) << name;
        std::string error;
        const auto samples = decode(file, &error);
        ASSERT_TRUE(error.empty()) << name << ": " << error;
        EXPECT_GT(samples.size(), 22050u * 15) << name << " is shorter than 15 seconds";
        // A loop joins the last sample to the first: both lie near silence, so the join does not click.
        ASSERT_FALSE(samples.empty());
        EXPECT_LT(std::abs(samples.front()), 600) << name;
        EXPECT_LT(std::abs(samples.back()), 600) << name;
    }
    EXPECT_LT(folderSize(kDemo), 3u * 1024 * 1024);
}

TEST(DemoFiles, BonusPageSourcesAreHtmlThatSaysItsCharset) {
    EXPECT_EQ(names().sources, (std::set<std::string>{"0", "1", "2", "omake"}));
    for (const auto& s : names().sources) {
        const auto lines = textLines(kDemo / "txt" / (s + ".dat"));
        ASSERT_FALSE(lines.empty()) << s;
        EXPECT_EQ(lines.front(), "<!DOCTYPE html>") << s;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "<meta charset=\"Shift_JIS\">"), lines.end()) << s;
        EXPECT_EQ(lines.back(), "</html>") << s;
    }
}
