#pragma once

class Fom;

// The flag, counter and branch commands of a scene script, acting on the window's current line.
struct ScriptCommands {
    Fom& fom;

    void gn();   // ">gn>" + n: set a GnFlags entry
    void cn();   // ">cn>" + n: set a CnFlags entry
    void love(); // ">love>" + who + "," + amount
    void on();   // ">on>" + t + "," + u
    void off();  // ">off>" + t + "," + u
    void swc();  // ">swc*" + list + "*" + A|B: branch on GnFlags
    void swb();  // ">swb*" + list + "*" + A|B: branch on OnOffFlags and the love levels
    void html(); // ">html>" + source + ">" + page: the bonus page, when its flags allow
};
