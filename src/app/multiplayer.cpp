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
    screen.settings = settinglines(multifields, m, 320);
    return runsettings(screen, colours, colourspeeds, colourrows, screenwidth) == MenuResult::Play;
}
