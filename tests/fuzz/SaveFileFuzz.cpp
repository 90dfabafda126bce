// Random save files: Load takes a whole, well-formed save or tells the player and leaves the game as
// it was; a save made after it loads back.
#include "FuzzGame.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    static FuzzGame game;
    game.reset({{"txt/com.dat", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n"},
                {"txt/hint.dat", ""},
                {"txt/opn.dat", "text\r\n"},
                {"txt/save.dat", std::string(reinterpret_cast<const char*>(data), size)}});
    const int status = game.play("click StartCom 0\ntick LblTim\nclick menuLbl\nmenu m_menu 1\nmenu m_list\n"
                                 "menu m_menu 2\nmenu m_menu 1\ndump\n");
    expectDocumentedStatus(status);
    return 0;
}
