// mediagen: writes the game's media at build time.
//   mediagen pictures <media folder> <font file>   the eight PNG pictures (the logo uses the font)
//   mediagen music <media folder>                  the music track tutto.ogg
//   mediagen effects <media folder>                the sound effects (thud.ogg, tick.ogg, ...)
//   mediagen icons <folder> <font file>            the desktop icons icon-<size>.png and
//   vantorix.ico
#include "effects.h"
#include "ico_writer.h"
#include "icon.h"
#include "logo.h"
#include "pictures.h"
#include "png_writer.h"
#include "song.h"
#include "vorbis_writer.h"
#include <cstdio>
#include <string>

namespace {

bool writePictures(const std::string& folder, const std::string& fontPath) {
    std::optional<Canvas> logo = makeLogo(fontPath);
    if (!logo) return false;
    return writePng(folder + "/ball.png", makeBall(300)) &&
           writePng(folder + "/bigball.png", makeBall(800)) &&
           writePng(folder + "/mainball+0.png", makeMainBall()) &&
           writePng(folder + "/rect.png", makeLinkBar()) &&
           writePng(folder + "/mezball2.png", makeRoundEnd()) &&
           writePng(folder + "/spark.png", makeSpark()) &&
           writePng(folder + "/scia.png", makeBarStrip()) && writePng(folder + "/logo.png", *logo);
}

bool writeMusic(const std::string& folder) {
    return writeOggVorbis(folder + "/tutto.ogg", renderSong());
}

bool writeEffects(const std::string& folder) {
    for (const SoundEffect& effect : makeSoundEffects()) {
        if (!writeOggVorbis(folder + "/" + effect.name, effect.sound)) return false;
    }
    return true;
}

// The sizes a desktop looks for in the hicolor theme, and the Windows executable's icon made of
// them.
bool writeIcons(const std::string& folder, const std::string& fontPath) {
    std::optional<Canvas> logo = makeLogo(fontPath);
    if (!logo) return false;
    std::vector<IcoPicture> pictures;
    for (int size : {48, 64, 128, 256}) {
        pictures.push_back({folder + "/icon-" + std::to_string(size) + ".png", size});
        if (!writePng(pictures.back().pngPath, makeIcon(*logo, size))) return false;
    }
    return writeIco(folder + "/vantorix.ico", pictures);
}

} // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "pictures" && argc == 4) return writePictures(argv[2], argv[3]) ? 0 : 1;
    if (command == "music" && argc == 3) return writeMusic(argv[2]) ? 0 : 1;
    if (command == "effects" && argc == 3) return writeEffects(argv[2]) ? 0 : 1;
    if (command == "icons" && argc == 4) return writeIcons(argv[2], argv[3]) ? 0 : 1;
    std::fprintf(stderr, "usage: mediagen pictures <media folder> <font file>\n"
                         "       mediagen music <media folder>\n"
                         "       mediagen effects <media folder>\n"
                         "       mediagen icons <folder> <font file>\n");
    return 2;
}
