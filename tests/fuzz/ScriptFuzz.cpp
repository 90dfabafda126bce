// Random scene scripts played through the headless driver with random player events. Input: the
// opening scene, "%%", a second scene "a", "%%", the driver's commands.
#include "FuzzGame.h"

#include <sstream>

namespace {

// Driver commands as a player could send them: a tick count is kept small, so that a long count on
// a script that loops does not pass for a hang of the game.
std::string playerEvents(const std::string& commands) {
    std::istringstream in(commands);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("tick", 0) == 0 && line.size() > 16) continue;
        kept += line + "\n";
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    static FuzzGame game;
    const auto parts = fuzzParts(reinterpret_cast<const char*>(data), size, 3);
    game.reset({{"txt/com.dat", "\x88\xEA\r\n\x93\xF1\r\n"},
                {"txt/hint.dat", "hint\r\n"},
                {"txt/opn_n.dat", "help\r\n"},
                {"txt/opn.dat", parts[0]},
                {"txt/a.dat", parts[1]},
                {"txt/staff.dat", "end\r\n>ending\r\n"}});
    expectDocumentedStatus(game.play("click StartCom 1\n" + playerEvents(parts[2])));
    return 0;
}
