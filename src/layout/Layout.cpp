// The layout on resize: the window keeps a 4:3 shape and every control is placed in proportional units
// with font sizes taken from the window's height.
#include "app/Fom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The text lines sit 0.2 units off the line they shadow.
constexpr double kShadowOffset = 0.2;

} // namespace

void Fom::Form_Resize() {
    // The fixed shape: the width follows the outer height. A maximised window is never reshaped.
    const double h = window.heightTw;
    const double width = std::nearbyint(h / 6) * 8;
    if (!windowSizeFixed && width <= INT32_MAX && width != window.widthTw) window.widthTw = width;

    const int f = static_cast<int>(std::floor(window.heightTw / 100 / 10)) + 3;
    if (window.heightTw >= 800) {
        window.setScaleWidth(8);
        window.setScaleHeight(6);

        PicTtl.move(0, 0, window.scaleWidth(), window.scaleHeight());
        PicTtl.scaleLeft = PicTtl.scaleTop = 0;
        PicTtl.setScaleHeight(8);
        PicTtl.setScaleWidth(6);
        for (int i = 0; i < static_cast<int>(StartCom.size()); ++i) {
            StartCom[i]->fontSize = f;
            StartCom[i]->move(1.5 + i, 6, 1, 0.5);
        }

        Pic.move(0, 0, 6, 5);
        Pic.setScaleWidth(100);
        Pic.setScaleHeight(110);
        DataPic.move(Pic.scaleWidth() - 30, 0, 30, 21);
        DataPic.setScaleWidth(10);
        DataPic.setScaleHeight(7);

        for (int i = 0; i < static_cast<int>(DataNameLbl.size()); ++i) DataNameLbl[i]->move(0, i, 1, 1);
        for (int i = 0; i < static_cast<int>(DataLbl.size()); ++i) {
            DataLbl[i]->move(i % 9 + 1, i / 9, 1, 1);
            DataLbl[i]->fontSize = std::floor(f / 1.3);
        }

        for (std::size_t i = 0; i < Lbl.size(); ++i) {
            Control& line = *Lbl[i];
            line.move(0, 5.0 * static_cast<double>(i), 100, 5);
            line.fontSize = f;
            Lbl2[i]->move(line.left() - kShadowOffset, line.top() - kShadowOffset, line.width(),
                          line.height());
            Lbl2[i]->fontSize = f;
            Lbl3[i]->move(line.left() + kShadowOffset, line.top() + kShadowOffset, line.width(),
                          line.height());
            Lbl3[i]->fontSize = f;
        }

        QstTimLbl.move(50, 30, 45, 5);
        for (std::size_t i = 0; i < QstLBl.size(); ++i) {
            Control& answer = *QstLBl[i];
            answer.move(50, 35 + 10.0 * static_cast<double>(i), 45, 10);
            answer.fontSize = f;
            model.bringToFront(answer);
            if (i < question.QstTop.size())
                question.QstTop[i] = static_cast<std::int16_t>(std::nearbyint(answer.top()));
            QstShp[i]->move(answer.left(), answer.top(), answer.width(), answer.height());
        }

        menuLbl.move(0, 5, 3, 1);
        menuLbl.fontSize = f;
        DayDate.move(3, 5, 3, 1);
        DayDate.fontSize = static_cast<std::int16_t>(3 * f);
        HtmlToolLbl.move(0, 5.5, 6, 0.5);
        HtmlToolLbl.fontSize = 1.5 * f;
        model.bringToFront(HtmlToolLbl);
        ClickMe.move(90, 90, 10, 20);
        for (std::size_t i = 0; i < com.size(); ++i) {
            com[i]->move(6, 0.3 * static_cast<double>(i), 2, 0.3);
            com[i]->fontSize = f;
        }
        // A command list too long for the column leaves the status list no room, rather than a
        // negative height.
        const double bottom = com.back()->top() + com.back()->height();
        Lst.move(6, bottom, 2, std::max(0.0, window.scaleHeight() - bottom));
        Lst.fontSize = f;

        Pic.setScaleMode(ScaleMode::Pixels);
        for (std::size_t i = 0; i < QstLBl.size() && i < question.QstTop.size(); ++i)
            question.QstTop[i] = static_cast<std::int16_t>(std::nearbyint(QstLBl[i]->top()));
        // A question on screen keeps its answers where it put them, inside the boxes it shows: the
        // layout put each label back at its own slot.
        if (QstLBl[0]->visible || QstLBl[1]->visible) placeAnswers();
    }

    if (PicTtl.visible)
        TTLHYOUJI();
    else
        ShowPicture(u"");
}
