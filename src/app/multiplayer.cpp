// The multiplayer setup: PLAY and six settings for two or three people at one keyboard. The
// values stay for the next visit and are independent of the custom game's.
#include "app/app.h"
#include "app/settingsscreen.h"

bool Tapp::multiplayersetup() {
    Tmultisettings& m = multisettings;
    SettingsScreen screen;
    screen.play = "PLAY";
    screen.playscale = 0.6f;
    screen.playy = 220;
    screen.settings = {
        {"NUMBER OF PLAYERS= ", &m.players, 2, 3, 0.25f, 320},
        {"PLAYERS SPEED= ", &m.playerspeed, 1, 10, 0.25f, 370},
        {"BALL SIZE= ", &m.ballsize, 1, 10, 0.25f, 420},
        {"BALL MASS= ", &m.ballmass, 1, 10, 0.25f, 470},
        {"GRAVITY= ", &m.gravity, 0, 10, 0.25f, 520},
        {"ARENA= ", &m.arenanumber, 1, 15, 0.25f, 570},
    };
    return runsettings(screen, colours, colourspeeds, colourrows, screenwidth) == MenuResult::Play;
}
