// The menu's Delete, Load and Save. Only Delete, the way back to the title, is built so far.
#include "app/Fom.h"

void Fom::m_menu_Click(int index) {
    if (index == 0) Form_Activate();
}
