// Scenario tests: each tests/scenarios/*.scenario file is a small game folder, a driver script and the
// events the headless driver is expected to print for it. Set RUMENA_UPDATE_EXPECTED=1 to rewrite the
// expected events after an intended change.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

#ifndef RUMENA_COMPARE_ONLY
#define RUMENA_COMPARE_ONLY false
#endif

namespace {

struct Section {
    std::string header; // "=== txt/opn.dat" and so on, without the marker
    std::vector<std::string> lines;
};

std::vector<Section> readSections(const fs::path& file) {
    std::ifstream in(file);
    std::vector<Section> sections;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("=== ", 0) == 0)
            sections.push_back({line.substr(4), {}});
        else if (!sections.empty())
            sections.back().lines.push_back(line);
    }
    // Blank lines at the end of a section only separate it from the next.
    for (auto& s : sections)
        while (!s.lines.empty() && s.lines.back().empty()) s.lines.pop_back();
    return sections;
}

std::string bmp(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const int size = 54 + rowBytes * height;
    std::string b(static_cast<std::size_t>(size), '\0');
    auto put32 = [&](int at, int v) {
        for (int i = 0; i < 4; ++i)
            b[static_cast<std::size_t>(at + i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    b[26] = 1, b[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            b[static_cast<std::size_t>(54 + y * rowBytes + x)] = static_cast<char>(0x80);
    return b;
}

// Writes one file of the game folder. "PATH" is Shift-JIS text with CR LF line ends; "PATH bmp W H" a
// picture of that size; "PATH raw" the lines as they stand, joined by LF.
void writeFile(const fs::path& game, const Section& s) {
    std::istringstream words(s.header);
    std::string path, kind;
    words >> path >> kind;
    fs::path target = game / path;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    if (kind == "bmp") {
        int w = 1, h = 1;
        words >> w >> h;
        out << bmp(w, h);
    } else if (kind == "raw") {
        for (const auto& line : s.lines) out << line << '\n';
    } else {
        for (const auto& line : s.lines) out << text::toShiftJis(text::fromUtf8(line)) << "\r\n";
    }
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size())
        s.replace(p, from.size(), to);
    return s;
}

std::vector<fs::path> scenarioFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(SCENARIO_DIR))
        if (e.path().extension() == ".scenario") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class Scenario : public ::testing::TestWithParam<fs::path> {};

TEST_P(Scenario, PrintsTheExpectedEvents) {
    const fs::path file = GetParam();
    const auto sections = readSections(file);

    std::string pattern = (fs::temp_directory_path() / "rumena-scenario-XXXXXX").string();
    const fs::path work = mkdtemp(pattern.data());
    const fs::path game = work / "game";
    fs::create_directories(game);
    std::vector<std::string> driver, expected, args{"--seed", "1"};
    for (const auto& s : sections) {
        if (s.header == "driver")
            driver = s.lines;
        else if (s.header == "expected")
            expected = s.lines;
        else if (s.header == "args") {
            args.clear();
            for (const auto& l : s.lines) {
                std::istringstream w(l);
                for (std::string a; w >> a;) args.push_back(a);
            }
        } else if (s.header != "about")
            writeFile(game, s);
    }
    {
        std::ofstream in(work / "driver.txt");
        for (const auto& l : driver) in << l << '\n';
    }

    std::string command = std::string("'") + RUMENA_BINARY + "' --headless";
    for (const auto& a : args) command += " '" + a + "'";
    command += " '" + game.string() + "' < '" + (work / "driver.txt").string() + "' 2>'" +
               (work / "stderr.txt").string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    std::ifstream errIn(work / "stderr.txt");
    std::string errors((std::istreambuf_iterator<char>(errIn)), std::istreambuf_iterator<char>());

    // The game folder's path differs from run to run; the expected events call it $GAME.
    std::vector<std::string> actual;
    std::istringstream lines(replaceAll(output, game.string(), "$GAME"));
    for (std::string l; std::getline(lines, l);) actual.push_back(l);
    actual.push_back("exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
    for (std::istringstream e(errors); std::getline(e, errors);)
        if (errors.rfind("driver:", 0) == 0) actual.push_back(errors);
    fs::remove_all(work);

    // The browser build's run only compares: the desktop's run alone rewrites the expected events.
    if (std::getenv("RUMENA_UPDATE_EXPECTED") && !RUMENA_COMPARE_ONLY) {
        std::ifstream in(file);
        std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        whole = whole.substr(0, whole.find("=== expected"));
        std::ofstream out(file);
        out << whole << "=== expected\n";
        for (const auto& l : actual) out << l << '\n';
        return;
    }
    ASSERT_EQ(actual.size(), expected.size()) << "output was:\n" << output << errors;
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "event " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Scenario, ::testing::ValuesIn(scenarioFiles()),
                         [](const auto& info) { return info.param.stem().string(); });

} // namespace
