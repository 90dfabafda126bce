#pragma once
#include "script/ScriptSyntax.h"

class Fom;

// The flag, counter and branch commands of a scene script, carried out on the window from a parsed line.
struct ScriptCommands {
    Fom& fom;
    const ScriptSyntax::Command& command;

    void gn();   // ">gn>" + n: set a GnFlags entry
    void cn();   // ">cn>" + n: set a CnFlags entry
    void love(); // ">love>" + who + "," + amount
    void on();   // ">on>" + t + "," + u
    void off();  // ">off>" + t + "," + u
    void swc();  // ">swc*" + list + "*" + A|B: branch on GnFlags
    void swb();  // ">swb*" + list + "*" + A|B: branch on OnOffFlags and the love levels
    void html(); // ">html>" + source + ">" + page: the bonus page, when its flags allow
};
