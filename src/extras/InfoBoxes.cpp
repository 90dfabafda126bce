// The version, help and hint boxes of the menu. Not built yet: the items do nothing.
#include "app/Fom.h"

void Fom::m_ver_Click() {}
void Fom::m_help_Click() {}
void Fom::m_hint_Click() {}
