// The version, help and hint boxes of the menu.
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/RandomSource.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/Words.h"

#include <algorithm>
#include <cmath>

void Fom::m_ver_Click() {
    platform.desktop.messageBox("Ver2.30\r\n"
                                "rumena — an engine for ルメナ\r\n"
                                "rumena project (source repository)");
}

void Fom::m_help_Click() {
    // The help text is built on the first click and kept for the rest of the run.
    if (extras.HelpText.empty()) {
        const std::string path = textFile(u"opn_n");
        TextFile file;
        if (!file.open(path)) {
            // Without its file there is no help to show; the text stays empty, so a later click tries
            // again.
            platform.desktop.messageBox(
                file.problem().empty()
                    ? words(platform.catalogue, "The help cannot be shown: %1 cannot be opened.", {path})
                    : words(platform.catalogue, "The help cannot be shown: %1 %2.", {path, file.problem()}));
            return;
        }
        std::u16string help = u"ルメナ・ヘルプ\r\n■■■■■■■■■■■■■■■■";
        while (!file.atEnd()) help += u"\r\n" + file.readLine();
        extras.HelpText = help;
    }
    platform.desktop.messageBox(text::toUtf8(extras.HelpText));
}

void Fom::m_hint_Click() {
    // A hint costs a turn, but never takes the count past the limit.
    int turns = game.TurnCount + 1;
    if (turns >= game.TurnLimit) turns = game.TurnLimit;
    game.TurnCount = static_cast<std::int16_t>(turns);

    const float r = platform.random.next(Draw::Hint, -1);
    const float product = static_cast<float>(extras.HintCount) * r;
    int i = static_cast<int>(std::floor(product));
    // With no hints the first (empty) entry is shown.
    i = std::clamp(i, 0, std::max(0, extras.HintCount - 1));
    platform.desktop.messageBox(text::toUtf8(extras.Hints[i]));
}
