// The headless driver of the browser build, run under Node with the host's file system: the same
// command loop as the desktop's `rumena --headless`, so the two can be held against each other.
#include "headless/HeadlessHost.h"
#include "platform/PictureHeader.h"

#include <iostream>
#include <optional>
#include <string>

int main(int argc, char* argv[]) {
    std::optional<unsigned> seed;
    std::string gameDir = ".";
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--headless") {
            headless = true;
        } else if (a == "--seed" && i + 1 < argc) {
            try {
                seed = static_cast<unsigned>(std::stoul(argv[++i]));
            } catch (const std::exception&) {
                std::cerr << "rumena: --seed needs a whole number\n";
                return 2;
            }
        } else if (a.rfind("--", 0) != 0) {
            gameDir = a;
        } else {
            std::cerr << "rumena: unknown option " << a << "\n";
            return 2;
        }
    }
    if (!headless) {
        std::cerr << "rumena: this build runs only --headless\n";
        return 2;
    }
    HeaderPictureLoader pictures;
    return runHeadless(gameDir, seed, pictures, std::cin, std::cout, std::cerr);
}
