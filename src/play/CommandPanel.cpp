// The command panel: each choice advances the nine-day calendar, looks the place up in the schedule,
// marks the map, may raise a love level and starts the next scene.
#include "app/Fom.h"
#include "app/GameError.h"
#include "platform/RandomSource.h"
#include "platform/TextCodec.h"
#include "play/Schedule.h"
#include "script/ScriptText.h"

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr auto& kSchedule = schedule::kRows;
constexpr int kSpecialRow = schedule::kSpecialRow;

int characterOf(char16_t letter) {
    switch (letter) {
    case u'i':
        return 0;
    case u'r':
        return 1;
    case u'g':
        return 2;
    default:
        return -1;
    }
}

Color markOf(char letter) {
    switch (letter) {
    case 'i':
        return rgb(255, 255, 200);
    case 'r':
        return rgb(255, 200, 255);
    case 'g':
        return rgb(200, 255, 255);
    default:
        return rgb(200, 200, 200);
    }
}

std::u16string number(int n) {
    std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

void Fom::com_Click(int index) {
    auto& g = game;
    if (g.CnFlags[0] && g.CnFlags[1] && g.CnFlags[2]) {
        ShowPicture(u"kami");
        GoToScene(u"end");
        return;
    }
    std::u16string pictureName, sceneName;

    auto today = scripttext::toWhole(DayDate.caption);
    if (!today) throw GameError("the day \"" + text::toUtf8(DayDate.caption) + "\" is not a number");
    const int day = static_cast<int>(*today % 9) + 1;
    DayDate.caption = number(day);
    Control& cell = *DataLbl.at(9 * index + day - 1);

    if (index >= 0 && index < static_cast<int>(kSchedule.size())) {
        const char letter = kSchedule[index][day - 1];
        if (letter == 'b') {
            pictureName = u"b";
            sceneName = u"b_" + number(day - 2);
            cell.backColor = markOf(letter);
        } else if (letter != '-' && !g.CnFlags[characterOf(letter)]) {
            sceneName = std::u16string(1, letter) + u"_" + number(day);
            cell.backColor = markOf(letter);
        }
    } else if (index == kSpecialRow) {
        if (g.CnFlags[0] || g.CnFlags[1] || g.CnFlags[2]) {
            pictureName = u"dmy";
            sceneName = u"not";
            ++g.TurnCount;
            if (g.TurnCount >= g.TurnLimit) g.TurnCount = g.TurnLimit;
        } else {
            com[index]->visible = false;
            if (day != 9) {
                g.VisitFlags[day] = true;
                LstHyouji();
                sceneName = u"m_" + number(day);
            } else {
                bool allVisited = true;
                for (int d = 1; d <= 8; ++d) allVisited = allVisited && g.VisitFlags[d];
                sceneName = allVisited ? u"m_9_0" : u"m_9_1";
            }
            cell.backColor = rgb(226, 170, 240);
        }
    }

    if (!sceneName.empty()) {
        int who = characterOf(sceneName[0]);
        if (who >= 0) AddLove(who, std::floor(platform.random.next(Draw::LoveBonus, who) * 5.0f));
    }

    if (!pictureName.empty()) {
        ShowPicture(pictureName);
        GoToScene(sceneName);
    } else if (!sceneName.empty()) {
        ShowPicture(sceneName);
        GoToScene(sceneName);
    } else {
        // Nobody is there: the turn is spent, and now and then the special command turns up.
        if (g.TurnCount < INT16_MAX) ++g.TurnCount;
        const int r = static_cast<int>(std::floor(platform.random.next(Draw::EmptyPlace, -1) * 100.0f));
        if (r <= 30) {
            com.back()->visible = true;
            ShowPicture(u"a");
            GoToScene(u"a_m");
        } else if (g.TurnCount < g.TurnLimit) {
            ShowPicture(u"a");
            GoToScene(u"a_" + number(day));
        } else {
            ShowPicture(u"a_end");
            GoToScene(u"a_end");
        }
    }
}

void Fom::com_MouseDown(int index) {
    com.at(index)->borderStyle = BorderStyle::Single;
}
void Fom::com_MouseUp(int index) {
    com.at(index)->borderStyle = BorderStyle::None;
}
