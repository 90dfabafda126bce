// Random command lists and hint files: the game starts, or stops on the run-time error naming the
// file. Input: the command list, "%%", the hints.
#include "FuzzGame.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    static FuzzGame game;
    const auto parts = fuzzParts(reinterpret_cast<const char*>(data), size, 2);
    game.reset({{"txt/com.dat", parts[0]}, {"txt/hint.dat", parts[1]}, {"txt/opn.dat", "text\r\n"}});
    expectDocumentedStatus(
        game.play("menu m_hint\nclick StartCom 0\ntick LblTim 3\nclick com 0\nmenu m_list\n"
                  "menu m_map\nmenu m_hint\ndump\n"));
    return 0;
}
