// The window's side of the music: the loop watchdog's timer and the Bgm menu switch.
#include "app/Fom.h"

void Fom::BgmTim_Timer() {
    music.BgmTim_Timer();
}

void Fom::m_bgm_Click() {
    m_bgm.checked = !m_bgm.checked;
    music.MusicOn = m_bgm.checked;
    // Switching on sends nothing: the stopped piece is restarted by the watchdog's next tick.
    if (!music.MusicOn) music.StopMidi();
}
