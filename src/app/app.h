// Tapp: the top of the program. It owns everything that outlives a single game: the options
// and campaign progress, the high-score table, the settings of the custom and multiplayer
// games, the loaded media and the menus' animated colour table. run() performs the start-up
// and then shows the main menu until QUIT; the screens and series drivers are its operations.
// Depends on: match (Tmatch and its settings), persist (prefs and scores), effects (colours).
#pragma once
#include "app/menuwidgets.h"
#include "match/media.h"
#include "match/playerinput.h"
#include "match/replay.h"
#include "match/settings.h"
#include "match/soundeffects.h"
#include "net/netsim.h"
#include "persist/controls.h"
#include "persist/prefs.h"
#include "persist/scores.h"
#include "persist/settings.h"
#include "runtime/graphics.h"
#include "runtime/sound.h"
#include "runtime/tlist.h"
#include <array>
#include <functional>
#include <memory>
#include <string>

class Link;
class Tmatch;
class MatchTrace;
class Synctest;

// Main-menu entries, top to bottom.
enum MainEntry : int { SINGLEPLAYER, MULTIPLAYER, OPTIONS, SCORES, HELP, QUIT };

// What the program does after the start-up, before (or instead of) the main menu.
struct Launch {
    enum Kind { Menu, Levels, Custom, Multiplayer, Demo, Replay, Host, Join, Watch } kind = Menu;
    int level = 1;      // first level of a Levels launch
    std::string replay; // the file a Replay launch plays
    int port = 0;       // Host: the port to wait on
    std::string join;   // Join, Watch: HOST:PORT, or a room code
    Tcustomsettings custom;
    Tmultisettings multi;
};

// An input delay the command line did not give: OPTIONS' ONLINE INPUT DELAY holds.
inline constexpr int INPUTDELAY_SETTING = -2;

// Tools that reach into every match the program plays (tests, bug reports, the demo).
struct MatchTools {
    int autopilot = -1;           // >= 0: figure 1 steered by the computer rule at this delay
    MatchTrace* trace = nullptr;  // one line per match frame when set
    Synctest* synctest = nullptr; // every frame played again and compared when set
    bool seeded = false;          // seed the generator with seed instead of the clock
    std::string record;           // --record: where the first match's replay goes
    bool replaysrefused = false;  // the replays folder refused one: said once, not again
    NetSim netsim;                // the impairment of this machine's outgoing packets
    std::string server;           // --server: the rendezvous server (else settings.txt's)
    bool netstats = false;        // the network's figures on stderr after an online series
    int localplayers = 1;         // players at this machine in an online series
    int inputdelay = INPUTDELAY_SETTING; // online: -1 auto, 0 to 4 frames
    int seed = 0;
};

class Tapp : public Tmatchmedia {
  public:
    Tapp();
    virtual ~Tapp();
    Tapp(const Tapp&) = delete;
    Tapp& operator=(const Tapp&) = delete;

    int initiallevel = 0;
    // The six persistent options: resolution, fullscreen, trail, fireworks, musicvolume and
    // unlockedlevel, read from and written to the preferences file as one record.
    Prefs prefs;
    std::unique_ptr<TList<Tscore>> scores;
    // A save file that was there at start-up but could not be read is never written in this
    // run: writing the defaults over it would lose the player's real file.
    bool prefsunreadable = false;
    bool scoresunreadable = false;
    bool settingsunreadable = false;
    bool controlsunreadable = false;
    ControlsFile controlsfile; // controls.txt as read or last written
    // The players' keyboard keys and pads, read by every match and by the menus.
    PlayerInput players;
    // The options beyond the six of the preferences file (settings.txt).
    Settings settings;
    TChannel musicchannel;
    // Slot 0 holds the music, slots 1-3 the match's effects (see SoundSlot).
    std::array<TSound, 4> sounds;
    // The match's effects, played by watching each match; the menus' tick and confirm.
    Tmatchsounds matchsounds;
    MenuSounds menusounds;
    static constexpr int colourrows = 10;
    float colourspeeds[colourrows][3] = {};
    float colours[colourrows][3] = {};
    int screenwidth = 1024;
    int screenheight = 768;
    TImage logoimage; // besides the match's seven pictures
    TFont font;
    Tcustomsettings customsettings;
    Tmultisettings multisettings;

    Launch launch;
    MatchTools tools;
    std::string joinaddress; // the last host typed on the JOIN ONLINE GAME screen

    virtual void singleplayer();
    virtual void playcustom(const Tcustomsettings& settings);
    virtual void playlevels();
    virtual void playmultiplayer(const Tmultisettings& settings);
    // Start-up in its fixed order, the launch, then the main menu until QUIT.
    virtual void run();
    virtual void showscores();
    virtual void showhelp();
    // Opens the display (closing it first when reopen is 1) and loads every image and the
    // font. A picture or the font that cannot be loaded ends the program with status 1.
    virtual void setupdisplay(int fullscreen, int resolution, int reopen);
    virtual void options();
    virtual void splash();
    // Returns the chosen entry; Escape ends the program.
    virtual int mainmenu(int highlight);
    virtual void loadprefs();
    virtual void defaults();
    virtual void saveprefs();
    // Reads the high-score table at start-up; savescores writes it after a new entry.
    virtual void loadscores();
    virtual void savescores();
    // Reads settings.txt at start-up; savesettings writes it when the options change.
    virtual void loadsettings();
    virtual void savesettings();
    // Reads controls.txt at start-up; savecontrols writes it on leaving the CONTROLS screen.
    virtual void loadcontrols();
    virtual void savecontrols();
    // The CONTROLS screen: every player's keys and buttons, rebound one at a time.
    virtual void controlsscreen();
    // "PLAYER 3: I,J,K,L + PAD 2 (8BITDO SN30)": what the player plays with.
    std::string devicetext(int player);
    virtual void seedrandom();
    // Loads the sound effects; one that cannot be used is said in one line and stays silent.
    virtual void loadeffects();
    // The effects' volume from settings.soundeffects, for the menus and every match.
    void seteffectsvolume();
    // Alt+Enter switched the window: the new state is kept like the options screen keeps it.
    void fullscreentoggled(int fullscreen);

    // The multiplayer setup screen: true when PLAY was confirmed.
    virtual bool multiplayersetup();
    // Runs one main-menu choice.
    virtual void dispatch(int entry);
    // Hands a new match every field a series sets: options, screen size, music, images, tools,
    // and the random numbers where the runtime's generator stands; endmatch gives the runtime
    // the numbers the match left, so the next game and the menus go on from there.
    virtual void configurematch(Tmatch& match);
    void endmatch(const Tmatch& match);
    // With --synctest, a difference found ends the program with status 1, said first.
    void endonsyncfailure() const;
    // The demo: levels played by the computer on figure 1, looping until Escape.
    virtual void playdemo();
    // One game of a series, recorded: its replay goes to the replays folder (or where
    // --record says, for the first game of the run).
    int playrecorded(Tmatch& match, const MatchStart& start, std::array<int, 4>& wins);
    // Plays a replay file back, with drawing and music, Space for four times the speed,
    // Escape to leave. 0 when it was watched to its end or left; 1 when the file could not
    // be read, was not made by this game and figure file, or went differently from its
    // recording (each said on stderr or in a message box).
    int watchreplay(const std::string& path);
    // An online multiplayer series: hosting on the port (the multiplayer settings and this
    // machine's seed for all), or joining HOST:PORT. False when it could not even begin (the
    // port in use, an unknown host), said in a message.
    bool playonline(bool hosting, int port, const std::string& where);
    // One try at a series (for a joiner coming back to its seat, until the real clock's
    // comeback): it could not even begin, it is over (played, refused, left), or this joiner
    // lost the host while playing or could not reach it again.
    enum class Series { Unbegun, Over, Lost, Unreached };
    Series playseries(bool hosting, int port, const std::string& where, long long comeback);
    static std::string placeof(const std::string& where);
    // JOIN ONLINE GAME: the host's address typed in (the port may follow a colon) or a room
    // code, or a game of the local network picked, then the series; WATCH ONLINE GAME the
    // same to watch it.
    void joinscreen(bool watching);
    // Watching an online series at HOST:PORT or by its room code: every game from its first
    // frame, caught up at full speed without drawing, then followed a few frames behind with
    // drawing and sound; each game's replay kept. False when it could not even begin.
    bool watchonline(const std::string& where);
    // The server of room codes: --server, else settings.txt's.
    std::string server() const;
    // A connection to the game at where, a room code or HOST:PORT, for a machine that takes a
    // new seat, comes back to the seat it had, or watches (fed by the server, for a room
    // code); null when it cannot even begin, said in a message.
    enum class Reaching { Seat, Back, Watch };
    std::unique_ptr<Link> reach(const std::string& where, Reaching why);
    // OPTIONS' ONLINE: the input delay and the server; the server typed in.
    void onlineoptions();
    void serverscreen();
    // A line typed in under the label, with choices (asked for every frame, under their
    // heading) and grey hints below: the choice Enter picked (0, 1, ...), TYPED when Enter ends
    // the typed line, LEFT for Escape (the text then as far as it was typed).
    static constexpr int TYPED = -1, LEFT = -2;
    int typeline(const std::string& label, std::string& text, const std::vector<std::string>& hints,
                 const std::function<std::vector<std::string>()>& choices = {},
                 const std::string& heading = "");
    // The main menu saw no key for a while: the newest replay, or a computer game, without
    // sound until any key. The menu then goes on as it was, random generator included.
    void attract();
};
