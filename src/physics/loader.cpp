#include "physics/loader.h"
#include "physics/constants.h"
#include "physics/ragobject.h"
#include "runtime/dialog.h"
#include "runtime/keyboard.h"
#include "runtime/stream.h"
#include "runtime/text.h"
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <unordered_map>
#include <vector>

namespace {

// Coloured parts are drawn in the team colour and made a little larger so that the colour
// shows around the grey parts they overlap.
constexpr double COLOUREDGROWTH = double(1.2f);

// Numbers of a figure are refused beyond this size: squared they must still be far from the
// double range, and masses must stay within a sane ratio of each other.
constexpr double LARGEST = 1.0e7;
constexpr double LIGHTEST = 1.0e-6;

// Limits of a figure: beyond them a figure costs too much in every frame (contacts grow with
// the square of the ball count) or reaches far out of the arena.
constexpr size_t MOSTBALLS = 256;
constexpr size_t MOSTLINKS = 1024;
constexpr size_t MOSTTENSIONS = 1024;
constexpr double LARGESTRADIUS = 10000;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// The record readers; a record cut short by the end of the file reads empty lines. They count
// the lines, so the first value that cannot be used is named by its line.
struct Reader {
    TStream& file;
    int line = 0;
    std::string problem;        // "line N: why", the first refusal
    std::vector<int> linklines; // the header line of every link read, in order

    std::string next() {
        ++line;
        return ReadLine(file);
    }
    int integer() { return TextToInt(next()); }
    double real() { return TextToReal(next()); }
    std::string word() { return next(); }
    void refuse(int at, const std::string& why) {
        if (problem.empty()) problem = "line " + std::to_string(at) + ": " + why;
    }
    // A real value that must lie in [lo, hi] (and above lo when open is set).
    double real(const char* what, double lo, double hi, bool open = false) {
        const double value = real();
        const bool fits = std::isfinite(value) && value <= hi && (open ? value > lo : value >= lo);
        if (!fits) {
            refuse(line, std::string(what) + " must be " + (open ? "greater than " : "from ") +
                             number(lo) + (open ? " and at most " : " to ") + number(hi) +
                             ", not " + number(value));
        }
        return value;
    }
    // A figure part more than the limit allows.
    void count(size_t already, size_t most, const char* what) {
        if (already >= most) refuse(line, "more than " + std::to_string(most) + " " + what);
    }
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

void readball(Reader& in, ragobject& body, RandomGenerator& random, const Scale& scale) {
    in.count(body.balls.size(), MOSTBALLS, "balls");
    auto ball = std::make_unique<Tball>(random);
    ball->id = in.integer();
    ball->basemass = in.real("mass", LIGHTEST, LARGEST) * scale.massfactor;
    ball->x = in.real("x", -LARGEST, LARGEST) + scale.offsetx;
    ball->y = in.real("y", -LARGEST, LARGEST) + scale.offsety;
    ball->radius = in.real("radius", 0, LARGESTRADIUS, true) * scale.size * scale.widthfactor;
    ball->fixed = in.integer();
    ball->anchorx = in.real("anchor x", -LARGEST, LARGEST) + scale.offsetx;
    ball->anchory = in.real("anchor y", -LARGEST, LARGEST) + scale.offsety;
    ball->kind = kindof(in.word(), {"normal", "background", "damaging"});
    ball->elastic = in.integer();
    ball->coloured = in.integer();
    if (ball->coloured == 1) ball->radius *= COLOUREDGROWTH;
    ball->oldx = ball->x;
    ball->oldy = ball->y;
    ball->image = scale.ballimage;
    body.balls.push_back(std::move(ball));
}

// The ball a link or tension names on the line just read; a refusal when no earlier ball has
// that id.
Tball* endball(Reader& in, const ragobject& body) {
    const int id = in.integer();
    Tball* found = findball(body, id);
    if (!found) in.refuse(in.line, "no ball with id " + std::to_string(id) + " comes before it");
    return found;
}

void readlink(Reader& in, ragobject& body, const Scale& scale) {
    in.count(body.links.size(), MOSTLINKS, "links");
    in.linklines.push_back(in.line);
    Tlink link;
    link.ball1 = endball(in, body);
    link.ball2 = endball(in, body);
    link.length = in.real("length", -LARGEST, LARGEST) * scale.size;
    link.thickness = in.real("thickness", 0, LARGESTRADIUS, true) * scale.size * scale.widthfactor;
    link.kind = kindof(in.word(), {"normal", "background", "damaging", "stop", "virtual"});
    link.coloured = in.integer();
    if (link.coloured == 1) link.thickness *= COLOUREDGROWTH;
    link.image = scale.linkimage;
    body.links.push_back(std::move(link));
}

void readtension(Reader& in, ragobject& body, const Scale& scale) {
    in.count(body.tensions.size(), MOSTTENSIONS, "tensions");
    Ttension tension;
    tension.ball1 = endball(in, body);
    tension.ball2 = endball(in, body);
    tension.ball3 = endball(in, body);
    tension.angle = in.real("angle", -LARGEST, LARGEST);
    tension.strength = in.real("strength", -LARGEST, LARGEST) * scale.size * scale.massfactor;
    body.tensions.push_back(tension);
}

bool sane(double value) {
    return std::isfinite(value) && std::fabs(value) <= LARGEST;
}

bool sane(const Tball& b) {
    return sane(b.x) && sane(b.y) && sane(b.anchorx) && sane(b.anchory) && sane(b.radius) &&
           sane(b.basemass) && b.basemass >= LIGHTEST;
}

// The mass the step will give the ball (see ragobject::setmasses).
double stepmass(const Tball& b) {
    return b.fixed != 0 ? FIXEDMASS : b.basemass;
}

// The link solver works out every link's correction from the same positions and applies them
// all at once, so the links on a ball add up. In one pass a ball moves by its share of each of
// its links' errors (LINKSTIFFNESS times the other end's part of the pair's mass); when the
// other links on its ends pull the same way, a link's length changes by up to the sum of its
// two ends' shares times its error. From twice its error on, the link is thrown past its rest
// length by more than it was off, the error grows with every pass and within a few steps the
// positions overflow; a pile of links between the same two balls does exactly that. Returns
// the index of the link, in file order, with which the links so far reach that sum, or -1 when
// every pass settles the figure (the shipped figure stays below 1.5).
int firstunsteadylink(const ragobject& body) {
    std::unordered_map<const Tball*, size_t> index;
    for (auto& b : body.balls) index.emplace(b.get(), index.size());
    std::vector<double> share(body.balls.size(), 0.0);
    for (size_t i = 0; i < body.links.size(); ++i) {
        const Tlink& link = body.links[i];
        // A link from a ball to itself has no direction and never moves it.
        if (link.ball1 == link.ball2) continue;
        const size_t a = index.at(link.ball1), b = index.at(link.ball2);
        const double ma = stepmass(*link.ball1), mb = stepmass(*link.ball2);
        share[a] += LINKSTIFFNESS * mb / (ma + mb);
        share[b] += LINKSTIFFNESS * ma / (ma + mb);
        // Only the links on these two balls have a larger sum now.
        for (size_t j = 0; j <= i; ++j) {
            const Tlink& other = body.links[j];
            if (other.ball1 == other.ball2) continue;
            const size_t c = index.at(other.ball1), d = index.at(other.ball2);
            if ((c == a || c == b || d == a || d == b) && share[c] + share[d] >= 2) return int(i);
        }
    }
    return -1;
}

} // namespace

LoadStatus loadragdoll(const std::string& path, ragobject& target, RandomGenerator& random,
                       double size, double widthfactor, const TImage& ballimage,
                       const TImage& linkimage, double offsetx, double offsety, double massfactor) {
    // Read-only: the game folder may well be write-protected.
    FileProblem problem;
    Stream file = OpenRead(path, MAX_TEXT_FILE, &problem);
    if (!file) {
        Notify("could not open " + (problem.missing ? path : DescribeProblem(path, problem)), 0);
        FlushKeys();
        return LoadStatus::NotOpened;
    }
    target.balls.clear();
    target.links.clear();
    target.tensions.clear();
    Reader in{*file, 0, {}, {}};
    Scale scale{size, widthfactor, offsetx, offsety, massfactor, ballimage, linkimage};
    // Reading stops at the first refusal: the figure will not be played anyway.
    do {
        std::string line = in.next();
        if (isheader(line, "New Ball")) readball(in, target, random, scale);
        if (isheader(line, "New Link")) readlink(in, target, scale);
        if (isheader(line, "New Tension")) readtension(in, target, scale);
    } while (AtEnd(*file) == 0 && in.problem.empty());
    const bool broken = ReadFailed(*file);
    CloseStream(file);
    // Keys pressed while the file was read must not steer the new figure.
    FlushKeys();
    std::string why = broken ? std::string(READ_BROKE_OFF) : in.problem;
    if (why.empty() && target.balls.empty()) why = "no ball in the file";
    if (why.empty() && !ragdollusable(target)) why = "a number out of range";
    if (why.empty()) {
        const int unsteady = firstunsteadylink(target);
        if (unsteady >= 0) {
            const Tlink& link = target.links[size_t(unsteady)];
            why = "line " + std::to_string(in.linklines[size_t(unsteady)]) +
                  ": too many links pull on balls " + std::to_string(link.ball1->id) + " and " +
                  std::to_string(link.ball2->id) + "; the figure would shake itself apart";
        }
    }
    if (why.empty()) return LoadStatus::Loaded;
    Notify(path + (why.rfind("line ", 0) == 0 ? " " : ": ") + why, 0);
    return LoadStatus::Broken;
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
