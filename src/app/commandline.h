// The command line: how the game is started for play, for the demo and by the tests.
//   vantorix [--script FILE] [--frames N] [--level N] [--custom k=v,...]
//            [--multiplayer k=v,...] [--trace FILE] [--autopilot D] [--nodraw] [--demo]
//            [--seed S] [--window WxH] [--replay FILE] [--record FILE] [--host PORT]
//            [--join HOST:PORT|CODE] [--watch HOST:PORT|CODE] [--server HOST:PORT] [--local N]
//            [--netsim k=v,...]
//            [--netstats]
//            [--synctest N] [--inputdelay auto|N] [--realtime] [--help] [--version]
#pragma once
#include "app/app.h"
#include <string>
#include <vector>

struct CommandLine {
    // The script and trace files as full paths from the caller's folder (the game later moves
    // to its saves folder); the empty string when not given.
    std::string script;
    long frames = -1; // end after this many frames; -1 never
    Launch launch;
    std::string trace;
    std::string record; // --record: the first game's replay file
    NetSim netsim;
    std::string server; // --server: the rendezvous server, HOST:PORT
    bool netstats = false;
    int localplayers = 1; // --local: players at this machine online
    int autopilot = -1;
    int synctest = 0; // --synctest: frames every frame goes back and plays again; 0 none
    int inputdelay = INPUTDELAY_SETTING; // --inputdelay: -1 auto, 0 to 4 frames
    bool realtime = false;               // --realtime: a script's run on the real clock
    bool nodraw = false;
    bool seeded = false;
    int seed = 0;
    // --window WxH: the window's size at start-up (0 x 0: the largest whole multiple of the
    // game's size that fits the desktop).
    int windowwidth = 0, windowheight = 0;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. False with a one-line reason in error for an
// unknown or malformed argument or a setting outside its range.
bool parsecommandline(const std::vector<std::string>& args, CommandLine& out, std::string& error);
// The usage text printed by --help and after a bad argument.
std::string usagetext();
