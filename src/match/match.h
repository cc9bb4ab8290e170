// Tmatch: one game of play, from its set-up through the frame loop to its result.
// A series driver creates a fresh match per game, hands down options, media and the win
// tally, and calls rungame. The match owns its figures, main balls, bodies, arena and effect
// lists; images, sounds and the music channel belong to the application.
#pragma once
#include "match/settings.h"
#include "runtime/graphics.h"
#include "runtime/sound.h"
#include "runtime/tlist.h"
#include <array>
#include <memory>
#include <string>
#include <vector>

class ragobject;
class Tman;
class Tmainball;
struct Tarena;
class Tburst;
class Ttrailitem;
class MatchTrace;

class Tmatch {
  public:
    Tmatch();
    virtual ~Tmatch();
    Tmatch(const Tmatch&) = delete;
    Tmatch& operator=(const Tmatch&) = delete;

    // Result of the contact test of figure pair (i, j), i < j: index 0 is this frame, the
    // others the 159 frames before. A pair stuck together for all of them gets a kick.
    int contacthistory[160][4][4] = {};
    int lastframe = 0; // ms at the end of the previous frame (set to the clock at creation)
    int entrythreshold = 0;
    std::string name;
    std::array<std::string, 40> namechars;
    int namecursor = 1;
    int starttime = 0;
    int levelscore = 0;
    int timebonus = 0;
    int startscore = 0;
    int score = 0;
    int level = 0;
    float colourspeeds[10][3] = {};
    float colours[10][3] = {};
    int fireworks = 0;
    int trail = 0;
    std::string mode;
    int musicvolume = 0;
    TChannel musicchannel;
    std::array<TSound, 4> sounds;
    std::string state;
    float gridcolour[3] = {0, 0, 0};
    float gridcolourspeed[3] = {2, 2, 2};
    std::array<std::unique_ptr<Tman>, 7> men; // figure k is men[k - 1]
    int screenwidth = 0, screenheight = 0;
    std::vector<ragobject*> bodies; // simulated bodies in the order added; not owning
    double gravity = 0;
    std::unique_ptr<Tarena> bounds;
    std::array<Tmainball*, 2> mainballs{}; // owned by their body's ball list
    std::array<std::unique_ptr<ragobject>, 2> mainballbodies;
    double camerax = 0, cameray = 0;
    double zoom = 0.4;
    double timestep = 1.0;
    std::unique_ptr<TList<Ttrailitem>> trailitems;
    std::unique_ptr<TList<Tburst>> rockets;
    int mancount = 3;
    TImage trailimage, mezballimage, bigballimage, ballimage, mainballimage, rectimage, sparkimage;
    std::unique_ptr<ragobject> obstacles;
    int mainballcount = 0;
    float goal = 0;
    int frame = 0;
    int stateframe = 0;
    int winner = 0;
    float textcolour[3] = {0, 0, 0};
    float textcolourspeed[3] = {2, 2, 2};
    std::string bannertext;
    int bannertime = 0;

    // Tools: >= 0 steers figure 1 with the computer rule at this delay instead of the keys.
    int autopilot = -1;
    // Tools: when set, one line per frame is written at the end of updatestate.
    MatchTrace* trace = nullptr;
    // The figure file could not be read or gave a broken figure; rungame returns -1.
    bool setupfailed = false;

    virtual void updatestate();
    virtual void drawwinner(int frames);
    virtual void buildarena(int number);
    virtual void setuplevel(int levelnumber);
    virtual void setupcustom(const Tcustomsettings& c);
    virtual void setupmultiplayer(const Tmultisettings& m);
    virtual void collidefigures();
    // Returns the winning figure's number, or -1 when the player left with Escape.
    virtual int rungame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                        const Tcustomsettings* custom, std::array<int, 4>& wins);
    virtual void updatefireworks();
    virtual void updatebars();
    virtual void checkpause();
    virtual void updatetrail(double z, double camx, double camy, int sw, int sh);
    virtual void checktouches();
    virtual void updatecamera();
    virtual void waitframe();
    virtual void drawbackground();
    virtual void drawbanner(double p);
    virtual void drawgameover(int frames);
    virtual void drawlevelcompleted(int frames);

    // The simulation of one frame without any drawing: body preparation, main-ball
    // histories, steering, the physics step, possession, contacts, obstacles and walls.
    void simulate();

    // Drawing half of updatebars.
    virtual void drawbars();
    // Level score, time bonus and total, once, when figure 1 wins a level.
    virtual void scorelevel();

    // Figure k (1-based).
    Tman& man(int k) { return *men[k - 1]; }
};

// Human steering of a figure's first ball with key set 0 (arrows), 1 (WASD) or 2 (IJKL).
void steer(Tman& m, int keyset);
// Now and then a computer figure picks a new main ball to chase.
void retarget(Tman& m, int count);
// One decision of a computer figure: record its history, then push towards the ball.
void aisteer(Tman& m, Tmainball& b);
// The steering direction 1 (up) to 8 (up-left, clockwise) for a whole-degree heading 0..359,
// 0 being up.
int aisector(int heading);
