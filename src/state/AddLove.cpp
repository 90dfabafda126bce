#include "app/Fom.h"

#include <cmath>

void Fom::AddLove(int index, double amount) {
    double sum = game.LoveLevels.at(index) + amount;
    // Love is capped at 254. A story may lower it too, but never below nothing.
    if (sum >= 254) sum = 254;
    if (sum < 0) sum = 0;
    game.LoveLevels[index] = static_cast<std::uint8_t>(std::nearbyint(sum));
    LstHyouji();
}
