#pragma once
#include "app/ControlModel.h"
#include "extras/ExtrasState.h"
#include "platform/Platform.h"
#include "play/QuestionState.h"
#include "script/ScriptState.h"
#include "script/TextLog.h"
#include "sound/Music.h"
#include "state/GameState.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct SnapshotData;

// The game's one window: its controls, its variables and every handler. The handlers of each
// subsystem live in that subsystem's folder.
class Fom {
  public:
    // Creates the window and its controls in their design state. gameDir is the game's folder.
    Fom(Platform& platform, std::string gameDir);
    Fom(const Fom&) = delete;
    Fom& operator=(const Fom&) = delete;

    Platform& platform;
    ControlModel model;

    // Controls, by the game's own names.
    Control &window, &E, &Pic, &DataPic, &Lst, &PicTtl, &HtmlToolLbl, &menuLbl, &DayDate;
    Control &ClickMe, &QstTimShp, &QstTimLbl;
    ControlArray &DataLbl, &DataNameLbl, &Lbl3, &QstShp, &QstLBl, &Lbl2, &Lbl, &StartCom, &com;
    Timer &LblShpTim, &QstTim, &LblTim, &BgmTim;
    MenuItem &m_bgm, &m_map, &m_list;

    // Variables.
    std::string BaseDir, TextDir, GraphicsDir;
    std::string gameDir;
    // Set by the host while the window may not be reshaped: maximised, full screen, or while the player
    // is still dragging its edge. The layout then lays it out stretched.
    bool windowSizeFixed = false;
    ScriptState script;
    // The lines shown since the scene began, for the window's text log.
    TextLog textLog;
    GameState game;
    QuestionState question;
    ExtrasState extras;
    Music music;
    // Told of every scene script opened: the name the game asked for and the file it opened.
    std::function<void(const std::u16string& name, const std::string& path)> onSceneOpened;
    // Told of every flag a script line tests (>swc, >swb, >html), with the value it found: the route
    // search learns from it which tests no route ever passes.
    struct FlagTest {
        enum class Kind { Gn, OnOff } kind;
        int first = 0, second = 0;
        bool value = false;
    };
    std::function<void(const FlagTest&)> onFlagTested;
    // Keeps every scene script once decoded and every file once found, so that a scene opened again is
    // not read or looked for again: the route search opens the same scenes thousands of times. The game
    // itself reads each time, so that an author's edit shows at the next opening.
    bool keepFiles = false;

    // Window events.
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void Form_Click();

    // Title screen and new game.
    void TTLHYOUJI();
    void PicTtl_Click();
    void StartCom_Click(int index);
    void BeginGame();
    // A new game's reset, up to its game music: what BeginGame does before the opening scene.
    void ResetForNewGame();
    void menuLbl_Click();
    void menuLbl_MouseDown();
    void menuLbl_MouseUp();
    void DayDate_Click();

    // The script interpreter.
    void GoToScene(const std::u16string& name);
    void OpenScript(const std::u16string& name);
    void LblTim_Timer();

    // Text lines and the click prompt.
    void ShowTextLine();
    void ShowClickPrompt(int red, int green, int blue);
    void LblShpTim_Timer();
    void Pic_Click();
    void Lbl_Click(int index);
    void Lbl2_Click(int index);
    void m_tim_Click(int index);

    // Scene pictures.
    void ShowPicture(const std::u16string& name);
    void ClearPicture();

    // Game state, the status list and the map.
    void AddLove(int index, double amount);
    void LstHyouji();
    void m_list_Click();
    void m_map_Click();

    // Music.
    void BgmTim_Timer();
    void m_bgm_Click();

    // The command panel.
    void com_Click(int index);
    void com_MouseDown(int index);
    void com_MouseUp(int index);

    // Timed questions.
    void BeginQuestion();
    // Puts the running question's answers at their slots (again, after a layout).
    void placeAnswers();
    void QstTim_Timer();
    void QstLBl_Click(int index);
    void QstLBl_MouseDown(int index);
    void QstLBl_MouseUp(int index);

    // Save, load and delete.
    void m_menu_Click(int index);

    // Bonus pages, help, hints and version.
    void HtmlToolLbl_Click();
    void HtmlToolLbl_MouseDown();
    void HtmlToolLbl_MouseUp();
    void m_ver_Click();
    void m_help_Click();
    void m_hint_Click();

    // Bonus page from the source text file, written into the game folder.
    void MakeBonusPage(const std::u16string& sourceName, const std::u16string& pageName);

    // Ends the run with an error naming the current script line and what it should have held.
    [[noreturn]] void scriptError(const std::string& expected) const;
    // The same for another line of the current script, such as an answer line of a question.
    [[noreturn]] void scriptError(const std::string& expected, std::size_t lineNumber,
                                  const std::u16string& text) const;

    // Enables or disables every place of the command panel.
    void setComEnabled(bool enabled);

    // Everything the game can later read or show. Controls that did not change since base are shared
    // with it.
    std::shared_ptr<const SnapshotData> snapshot(const SnapshotData* base) const;
    // Takes that state back; the snapshot must come from a window loaded on the same game folder.
    void restore(const SnapshotData& data);

    // Paths of the game's files: folder + base name + extension.
    std::string textFile(const std::u16string& base) const;
    std::string pictureFile(const std::u16string& base) const;
    std::string musicFile(const std::u16string& base) const;
    // A file of the game folder as findGameFile finds it.
    std::string findFile(const std::string& path) const;

  private:
    // One interpreter step; returns whether the next step follows at once.
    bool scriptStep();
    bool dispatchLine();
    void closeScript();
    // Moves the read-ahead on by one line of the script: NextLine and its number. At the end of the
    // file NextLine is empty, its number 0, and the result false.
    bool readNextLine();
    // The story state the status list spells out as it stands; a line of the list is written anew only
    // when its value differs, as flag commands ask for the list far more often than they change it.
    std::optional<GameState> listed_;
    std::map<std::string, TextFile> keptScripts_;
    mutable std::map<std::string, std::string> foundFiles_;
};
