// Timed questions. The question block itself is not read yet: a question line stops the story.
#include "app/Fom.h"

void Fom::BeginQuestion() {}
void Fom::QstTim_Timer() {}
void Fom::QstLBl_Click(int) {}
void Fom::QstLBl_MouseDown(int index) {
    QstLBl.at(index)->borderStyle = 1;
}
void Fom::QstLBl_MouseUp(int index) {
    QstLBl.at(index)->borderStyle = 0;
}
