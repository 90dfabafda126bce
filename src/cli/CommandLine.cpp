#include "cli/CommandLine.h"

#include "platform/TextCodec.h"

#include <charconv>

#ifndef RUMENA_VERSION
#define RUMENA_VERSION "0.0.0"
#endif

namespace {

CommandLine failure(std::string why) {
    CommandLine c;
    c.action = CommandLine::Action::Fail;
    c.error = std::move(why);
    return c;
}

std::optional<unsigned> wholeNumber(const std::string& text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end) return std::nullopt;
    return value;
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine c;
    bool optionsEnded = false;
    std::optional<int> day;
    std::vector<SceneStart::Setting> settings;
    std::optional<std::string> scene;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // An option's value: the next argument, or what follows "=" in the option itself.
        auto valueOf = [&](const std::string& option, std::string& value) {
            if (a == option) {
                if (i + 1 == args.size()) return false;
                value = args[++i];
            } else {
                value = a.substr(option.size() + 1);
            }
            return true;
        };
        auto is = [&](const std::string& option) { return a == option || a.rfind(option + "=", 0) == 0; };
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            if (c.gameDir)
                return failure("give at most one game folder (got \"" + *c.gameDir + "\" and \"" + a + "\")");
            c.gameDir = a;
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-h" || a == "--help") {
            c.action = Action::Help;
        } else if (a == "-v" || a == "--version") {
            if (c.action != Action::Help) c.action = Action::Version;
        } else if (a == "--headless") {
            c.headless = true;
        } else if (a == "--fullscreen") {
            c.fullscreen = true;
        } else if (a == "--exit-when-shown") {
            c.exitWhenShown = true;
        } else if (is("--seed")) {
            std::string value;
            if (!valueOf("--seed", value)) return failure("--seed needs a whole number N");
            c.seed = wholeNumber(value);
            if (!c.seed) return failure("--seed needs a whole number N, not \"" + value + "\"");
        } else if (is("--scene")) {
            std::string value;
            if (!valueOf("--scene", value) || value.empty())
                return failure("--scene needs the name of a scene");
            scene = value;
        } else if (is("--day")) {
            std::string value;
            if (!valueOf("--day", value)) return failure("--day needs a day from 0 to 9");
            auto d = wholeNumber(value);
            if (!d || *d > 9) return failure("--day needs a day from 0 to 9, not \"" + value + "\"");
            day = static_cast<int>(*d);
        } else if (is("--set")) {
            std::string value, why;
            if (!valueOf("--set", value))
                return failure("--set needs FLAG=VALUE, e.g. --set 'LoveLevels(0)=30'");
            auto setting = SceneStart::parseSetting(value, why);
            if (!setting) return failure("--set " + why);
            settings.push_back(*setting);
        } else {
            return failure("unknown option " + a + " (see --help)");
        }
    }
    if (c.headless && c.exitWhenShown) return failure("--exit-when-shown needs the window, not --headless");
    if (!scene && (day || !settings.empty())) return failure("--day and --set go with --scene NAME");
    if (scene) c.start = SceneStart{text::fromUtf8(*scene), day, std::move(settings)};
    return c;
}

std::string CommandLine::helpText(const std::string& program) {
    return "Usage: " + program +
           " [OPTIONS] [GAME_DIR]\n"
           "\n"
           "Plays the story game ルメナ from its game folder GAME_DIR, the folder that holds txt/, grf/\n"
           "and the music. Without GAME_DIR the game in the program's own folder is played, or else the\n"
           "demo game that comes with the program.\n"
           "\n"
           "Options:\n"
           "  -h, --help       show this help and exit\n"
           "  -v, --version    show the version and exit\n"
           "  --fullscreen     start in full screen\n"
           "  --exit-when-shown  paint the title screen once and exit (to time and weigh start-up)\n"
           "  --seed N         seed the random generator with the whole number N instead of the clock\n"
           "  --headless       no window: read driver commands from standard input, print events\n"
           "                   as JSON lines on standard output\n"
           "  --scene NAME     begin a game at once at the scene NAME (txt/NAME.dat), for an author's\n"
           "                   look at one scene; with --day D (0 to 9) the day shown, and with each\n"
           "                   --set FLAG=VALUE a variable set, e.g. --set 'LoveLevels(0)=30' or\n"
           "                   --set OnOffFlags.1.2=true (the rest as a new game at NORMAL has it);\n"
           "                   FLAG is one of " +
           std::string(SceneStart::kNames) +
           "\n"
           "\n"
           "Keys and mouse in the window:\n"
           "  click, Enter, Space   go on with the story where it waits for a click, or choose\n"
           "                        the place or answer with the keyboard's focus\n"
           "  Tab, arrow keys       move the focus round the difficulties, places or answers\n"
           "  V                     read the story aloud, on and off\n"
           "  Ctrl (held)           fast-forward to the next pause\n"
           "  Esc, right click      open the menu (outside the title screen)\n"
           "  wheel up, Page Up     read back the lines of this scene (Esc or wheel down closes)\n"
           "  F11, Alt+Enter        full screen on and off\n"
           "\n"
           "Headless commands, one a line:\n"
           "  tick TIMER [COUNT]          fire LblTim, LblShpTim, QstTim or BgmTim COUNT times\n"
           "  click NAME [INDEX]          click a control, where a player could reach it\n"
           "  press NAME [INDEX]          press the mouse button on a control\n"
           "  release NAME [INDEX]        let go of the mouse button on a control\n"
           "  menu ITEM [INDEX]           choose an item of the popup menu\n"
           "  resize WIDTH HEIGHT         set the window's outer size in pixels\n"
           "  music-end                   the music has played to its end\n"
           "  random V [V ...]            the next random draws, each in [0, 1)\n"
           "  dump [NAME [INDEX]]         print the state, or one control or variable\n"
           "  trace scenes                print a scene event each time a scene script opens\n"
           "  quit                        close the window and exit\n"
           "\n"
           "The controls a play-through clicks:\n"
           "  click StartCom 0|1|2        EASY, NORMAL or HARD on the title screen\n"
           "  click Lbl 20                go on where the story waits at the cyan prompt\n"
           "  click com I                 choose place I of the command panel (the line I+1 of\n"
           "                              txt/com.dat) at the magenta prompt\n"
           "  click QstLBl I              answer I (0 or 1) of a timed question\n"
           "  tick QstTim 30              let a question's time run out\n"
           "  tick LblTim N               read on N lines\n"
           "\n"
           "Exit status: 0 done, 1 the game stopped on an error, 2 a bad command line or game folder\n"
           "(headless: a malformed command), 3 headless run stopped on an error.\n";
}

std::string CommandLine::versionText(const std::string& qtVersion) {
    return std::string("rumena ") + RUMENA_VERSION + " (Qt " + qtVersion + ")\n";
}
