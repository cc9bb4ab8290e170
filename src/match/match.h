// Tmatch: one game of play, from its set-up through the frame loop to its result.
// A series driver creates a fresh match per game, hands down options, media and the win
// tally, and calls rungame. The match owns its figures, main balls, bodies, arena and effect
// lists; images, sounds and the music channel belong to the application.
#pragma once
#include "match/input.h"
#include "match/levels.h"
#include "match/media.h"
#include "match/playerinput.h"
#include "match/settings.h"
#include "physics/world.h"
#include "runtime/camera.h"
#include "runtime/graphics.h"
#include "runtime/random.h"
#include "runtime/sound.h"
#include "runtime/tlist.h"
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ragobject;
class Tman;
class Tmainball;
class Tburst;
class Ttrailitem;
class MatchTrace;
class Synctest;
class Tmatchsounds;

// The result screens a frame shows, each with the frames it has been up; -1 for one not shown.
// A level-40 win shows the level-completed screen and the game-over screen in the same frame.
struct Shownscreens {
    int levelcompleted = -1, tally = -1, gameover = -1;

    bool operator==(const Shownscreens&) const = default;
};

// Everything of a game that evolves from frame to frame and decides what happens next,
// besides its bodies and effect lists: a plain value, copied whole by a snapshot.
struct Tmatchstate {
    // Result of the contact test of figure pair (i, j), i < j: index 0 is this frame, the
    // others the STUCKFRAMES frames before. A pair stuck together for all of them gets a kick.
    int contacthistory[STUCKFRAMES + 1][4][4] = {};
    std::string name;
    std::array<std::string, 40> namechars;
    int namecursor = 1;
    int picked = 0; // a pad's letter at the cursor: 1 + its place in pickable, 0 for none
    int levelscore = 0;
    int timebonus = 0;
    int levelclock = -1; // ms from the level's start to its win, from that frame's record
    int score = 0;
    float colourspeeds[10][3] = {};
    float colours[10][3] = {};
    std::string state;
    float gridcolour[3] = {0, 0, 0};
    float gridcolourspeed[3] = {2, 2, 2};
    double camerax = 0, cameray = 0;
    double zoom = 0.4;
    int frame = 0;
    int stateframe = 0;
    int winner = 0;
    float textcolour[3] = {0, 0, 0};
    float textcolourspeed[3] = {2, 2, 2};
    int bannertime = 0;
    // The game's own random numbers: set-up, computer players, possession, colours and
    // fireworks draw from it and from nothing else.
    RandomGenerator random;
    // What the frame shows besides the bodies: the camera as it stood before the frame moved
    // it (the background and the fireworks are seen through it) and the result screens.
    Camera backcamera;
    Shownscreens screens;

    bool operator==(const Tmatchstate&) const = default;
};

// What a frame asks of its input source once it is played: the result screens forget the keys
// held (flush) or drop the presses left over from play (discard).
struct Sourcerequests {
    bool flush = false, discard = false;
};

class Tmatch : public Tmatchstate, public Tmatchmedia {
  public:
    Tmatch();
    virtual ~Tmatch();
    Tmatch(const Tmatch&) = delete;
    Tmatch& operator=(const Tmatch&) = delete;

    int lastframe = 0; // ms at the end of the previous frame (set to the clock at creation)
    int entrythreshold = 0;
    int starttime = 0;
    int startscore = 0;
    int level = 0;
    int fireworks = 0;          // bursts after a win: part of the game, they draw random numbers
    bool showfireworks = false; // this player's own choice: bursts played but not drawn if off
    int trail = 0;
    // The TEAM COLOURS option: 0 standard, 1 colour-blind safe (see teampalette).
    int teamcolours = 0;
    std::string mode;
    int musicvolume = 0;
    TChannel musicchannel;
    std::array<TSound, 4> sounds;
    std::array<std::unique_ptr<Tman>, 7> men; // figure k is men[k - 1]
    int screenwidth = 0, screenheight = 0;
    // The figures, main-ball bodies and obstacles in stepping order, the arena (bounds),
    // gravity and time step: what the physics steps every frame.
    World world;
    std::array<Tmainball*, 2> mainballs{}; // owned by their body's ball list
    std::array<std::unique_ptr<ragobject>, 2> mainballbodies;
    std::unique_ptr<TList<Ttrailitem>> trailitems;
    std::unique_ptr<TList<Tburst>> rockets;
    int mancount = 3;
    std::unique_ptr<ragobject> obstacles;
    int mainballcount = 0;
    float goal = 0;
    std::string bannertext;
    // A line shown under the game for its players ("WATCHING: 2"); never part of the game.
    std::string notice;

    // Where this game's input comes from (the keyboard unless a driver says otherwise), and
    // the record of the frame being played.
    InputSource* source = &defaultinput();
    MatchInput input;

    // Tools: >= 0 steers figure 1 with the computer rule at this delay instead of the keys.
    int autopilot = -1;
    // Tools: when set, one line per frame is written once the frame is played.
    MatchTrace* trace = nullptr;
    // Tools: when set, every frame is played again from some frames back and must come out the
    // same; at the first difference the game is left.
    Synctest* synctest = nullptr;
    // Hears every shown frame once it is played, before it is shown: the sound effects. It
    // only reads the match, and never hears a frame played with drawing off.
    Tmatchsounds* listener = nullptr;
    // The figure file could not be read or gave a broken figure; rungame returns -1.
    bool setupfailed = false;

    // The state machine of the frame: the shortcuts, the frame count, the winner and the
    // result screens' keys; it notes the screens to show in screens.
    virtual void updatestate();
    virtual void drawwinner(int frames) const;
    virtual void buildarena(int number);
    virtual void setuplevel(int levelnumber);
    virtual void setupcustom(const Tcustomsettings& c);
    virtual void setupmultiplayer(const Tmultisettings& m);
    virtual void collidefigures();
    // The game's set-up and start, the first half of rungame: false when nothing could be
    // built (an unknown mode, a missing settings record, an unusable figure file).
    bool startgame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                   const Tcustomsettings* custom, const std::array<int, 4>& wins);
    // Plays the game to its end: the winning figure's number, or -1 when the player left with
    // Escape.
    virtual int rungame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                        const Tcustomsettings* custom, std::array<int, 4>& wins);
    // The fireworks' launch and ageing; drawfireworks shows them.
    virtual void updatefireworks();
    void drawfireworks() const;
    virtual void updatebars();
    // The frame's input is read here, before anything is drawn or simulated; a P press
    // pauses the game in there (see pausable).
    virtual void checkpause();
    // The main balls' blobs dropped and aged; drawtrail shows them.
    virtual void updatetrail();
    void drawtrail() const;
    virtual void checktouches();
    virtual void updatecamera();
    virtual void waitframe();
    virtual void drawbackground() const;
    virtual void drawbanner(double p) const;
    // The name typed or picked on the game-over screen, a character a frame.
    void entername(int frames);
    virtual void drawgameover(int frames) const;
    virtual void drawlevelcompleted(int frames) const;
    // The result screens the frame shows, in their order.
    void drawresults() const;
    // The letters a pad picks from on the game-over screen, in the order up runs through them.
    static constexpr std::string_view pickable = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    void pickletter();
    // "PLAYER 3: PAD UNPLUGGED" for every player whose pad is gone.
    void drawpadnotices() const;

    // The simulation of one frame without any drawing: main-ball histories, steering and the
    // world's step, with possession and the figures' contacts inside it.
    void simulate();
    // One frame of the game from the record in input: every change in the game's fixed order
    // (colours, fireworks, camera, simulation, trail, bars, banner, state), nothing drawn,
    // heard or waited for; the generator drawn from is the match's own. What it asks of the
    // input source is left in requests.
    void advance();
    // The frame as the game stands, read only: background and fireworks, figures and main
    // balls, trail, bars, banner and result screens.
    virtual void draw() const;
    // Plays one frame: reads its input, advances, then draws and shows it (unless shown is
    // false: a frame played again after a restore draws nothing, plays no sound, shows
    // nothing and waits for nothing; its input must be in input already).
    void playframe(bool shown = true);

    virtual void drawbars() const;
    // Level score, time bonus (from the frame's clock) and total, once, when figure 1 wins a
    // level.
    virtual void scorelevel();
    // A P press pauses the game, except on the game-over screen where P is part of a name.
    bool pausable() const { return state != "gameover"; }
    // The result screens forget the keys: the source is asked to forget them, and this frame's
    // record forgets them for what the frame has still to read.
    void flushinput();
    Sourcerequests requests;

    // The view of this frame: camerax, cameray, zoom and the screen size.
    Camera camera() const {
        return {camerax, cameray, zoom, double(screenwidth), double(screenheight)};
    }

    // Figure k (1-based).
    Tman& man(int k) { return *men[k - 1]; }
    const Tman& man(int k) const { return *men[k - 1]; }
};

// Human steering of a figure's first ball by what its player holds.
void steer(Tman& m, const FigureInput& in);
// Now and then a computer figure picks a new main ball to chase.
void retarget(Tman& m, int count, RandomGenerator& random);
// One decision of a computer figure: record its history, then push towards the ball.
void aisteer(Tman& m, Tmainball& b);
// The steering direction 1 (up) to 8 (up-left, clockwise) for a whole-degree heading 0..359,
// 0 being up.
int aisector(int heading);
