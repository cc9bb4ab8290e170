#include "physics/loader.h"
#include "physics/ragobject.h"
#include "runtime/dialog.h"
#include "runtime/keyboard.h"
#include "runtime/stream.h"
#include "runtime/text.h"
#include <cmath>
#include <initializer_list>

namespace {

// Coloured parts are drawn in the team colour and made a little larger so that the colour
// shows around the grey parts they overlap.
constexpr double COLOUREDGROWTH = double(1.2f);

// Numbers of a figure are refused beyond this size: squared they must still be far from the
// double range, and masses must stay within a sane ratio of each other.
constexpr double LARGEST = 1.0e7;
constexpr double LIGHTEST = 1.0e-6;

// The record readers; a record cut short by the end of the file reads empty lines.
struct Reader {
    TStream& file;
    int integer() { return TextToInt(ReadLine(file)); }
    double real() { return TextToReal(ReadLine(file)); }
    std::string word() { return ReadLine(file); }
};

// Scaling as the caller asked for this figure.
struct Scale {
    double size, widthfactor, offsetx, offsety, massfactor;
    TImage ballimage, linkimage;
};

bool isheader(const std::string& line, const std::string& header) {
    return line == header || line == header + " ";
}

std::string kindof(const std::string& word, std::initializer_list<const char*> known) {
    for (const char* k : known)
        if (word == k) return word;
    return "normal";
}

// Every ball with the id is assigned in turn, so with duplicate ids the last one wins; an id
// of no earlier ball leaves the reference empty.
Tball* findball(const ragobject& body, int id) {
    Tball* found = nullptr;
    for (auto& b : body.balls)
        if (b->id == id) found = b.get();
    return found;
}

void readball(Reader& in, ragobject& body, const Scale& scale) {
    auto ball = std::make_unique<Tball>();
    ball->id = in.integer();
    ball->basemass = in.real() * scale.massfactor;
    ball->x = in.real() + scale.offsetx;
    ball->y = in.real() + scale.offsety;
    ball->radius = in.real() * scale.size * scale.widthfactor;
    ball->fixed = in.integer();
    ball->anchorx = in.real() + scale.offsetx;
    ball->anchory = in.real() + scale.offsety;
    ball->kind = kindof(in.word(), {"normal", "background", "damaging"});
    ball->elastic = in.integer();
    ball->coloured = in.integer();
    if (ball->coloured == 1) ball->radius *= COLOUREDGROWTH;
    ball->oldx = ball->x;
    ball->oldy = ball->y;
    ball->image = scale.ballimage;
    body.balls.push_back(std::move(ball));
}

void readlink(Reader& in, ragobject& body, const Scale& scale) {
    Tlink link;
    int id1 = in.integer();
    int id2 = in.integer();
    link.length = in.real() * scale.size;
    link.thickness = in.real() * scale.size * scale.widthfactor;
    link.kind = kindof(in.word(), {"normal", "background", "damaging", "stop", "virtual"});
    link.coloured = in.integer();
    if (link.coloured == 1) link.thickness *= COLOUREDGROWTH;
    link.image = scale.linkimage;
    link.ball1 = findball(body, id1);
    link.ball2 = findball(body, id2);
    body.links.push_back(std::move(link));
}

void readtension(Reader& in, ragobject& body, const Scale& scale) {
    Ttension tension;
    int id1 = in.integer();
    int id2 = in.integer();
    int id3 = in.integer();
    tension.angle = in.real();
    tension.strength = in.real() * scale.size * scale.massfactor;
    tension.ball1 = findball(body, id1);
    tension.ball2 = findball(body, id2);
    tension.ball3 = findball(body, id3);
    body.tensions.push_back(tension);
}

bool sane(double value) {
    return std::isfinite(value) && std::fabs(value) <= LARGEST;
}

bool sane(const Tball& b) {
    return sane(b.x) && sane(b.y) && sane(b.anchorx) && sane(b.anchory) && sane(b.radius) &&
           sane(b.basemass) && b.basemass >= LIGHTEST;
}

} // namespace

LoadStatus loadragdoll(const std::string& path, ragobject& target, double size, double widthfactor,
                       const TImage& ballimage, const TImage& linkimage, double offsetx,
                       double offsety, double massfactor) {
    // Read-only: the game folder may well be write-protected.
    Stream file = OpenRead(path);
    if (!file) {
        Notify("could not open " + path, 0);
        FlushKeys();
        return LoadStatus::NotOpened;
    }
    target.balls.clear();
    target.links.clear();
    target.tensions.clear();
    Reader in{*file};
    Scale scale{size, widthfactor, offsetx, offsety, massfactor, ballimage, linkimage};
    do {
        std::string line = ReadLine(*file);
        if (isheader(line, "New Ball")) readball(in, target, scale);
        if (isheader(line, "New Link")) readlink(in, target, scale);
        if (isheader(line, "New Tension")) readtension(in, target, scale);
    } while (AtEnd(*file) == 0);
    CloseStream(file);
    // Keys pressed while the file was read must not steer the new figure.
    FlushKeys();
    return ragdollusable(target) ? LoadStatus::Loaded : LoadStatus::Broken;
}

bool ragdollusable(const ragobject& body) {
    if (body.balls.empty()) return false;
    for (auto& b : body.balls)
        if (!sane(*b)) return false;
    for (auto& l : body.links)
        if (!l.ball1 || !l.ball2 || !sane(l.length) || !sane(l.thickness)) return false;
    for (auto& t : body.tensions)
        if (!t.ball1 || !t.ball2 || !t.ball3 || !sane(t.angle) || !sane(t.strength)) return false;
    return true;
}
