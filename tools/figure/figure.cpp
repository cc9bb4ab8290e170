// Writes media/man.txt, the figure every player and computer opponent is built from.
//
// The figure is a stick-and-ball humanoid seen from the front, standing upright in the file's
// coordinates (x right, y down, origin at the belly). Sizes are drawn at full scale; the game
// loads it at half size, so a standing figure is about 230 units tall in play, a little under
// three main-ball diameters.
//
//   ball  1  chest      the steered ball. Every push of the player's keys goes into its
//                        velocity; it sits near the centre of mass so the body is dragged
//                        evenly instead of being swung round by a limb.
//   ball  2  head       on the chest, held upright by a spring over head-chest-belly.
//   balls 3-4 belly, pelvis: with the chest they make the spine.
//   balls 5-10 shoulders, elbows, hands: arms hanging a little outwards.
//   balls 11-16 hips, knees, feet: legs slightly apart.
//
// Links. Every bone is a link; the shoulders and hips are also tied to each other and to the
// spine by cross links, so chest and pelvis are rigid triangles that cannot fold or knot.
// Bones are drawn as bars; the spine, collarbones and head link are team-coloured.
//
// Tensions hold the pose: each joint has one spring whose target is the angle of the drawn
// pose, computed here from the coordinates so file and drawing always agree. Strengths are
// written for the half-size figure: the loader multiplies them by the size, and a spring of
// 10 or less does nothing, so every strength here is well above 20.
//
// Masses. The figure weighs 25 in all, 2 of it in the steered chest. Pushes of 6 per frame
// into 2 of 25 speed the whole body up by about 0.48 per frame, so from a standstill it
// crosses the 4000 long straight of the smallest stadium in under three seconds, and it
// weighs five times the standard main ball, so it shoves the ball rather than bouncing off.
// The team colour is on head, chest, belly and pelvis and on the neck, spine and collarbone
// links (the coloured flag also makes those parts a fifth larger).
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

struct Ball {
    int id;
    double mass, x, y, radius;
    int coloured;
};

struct Link {
    int from, to;
    double thickness;
    int coloured;
};

struct Spring {
    int outer1, vertex, outer2;
    double strength;
};

const std::vector<Ball> balls = {
    {1, 2.0, 0, -70, 22, 1},    // chest
    {2, 1.5, 0, -160, 26, 1},   // head
    {3, 2.0, 0, 0, 20, 1},      // belly
    {4, 2.5, 0, 65, 20, 1},     // pelvis
    {5, 1.5, -50, -85, 14, 0},  // left shoulder
    {6, 1.0, -80, -10, 12, 0},  // left elbow
    {7, 1.0, -95, 65, 14, 0},   // left hand
    {8, 1.5, 50, -85, 14, 0},   // right shoulder
    {9, 1.0, 80, -10, 12, 0},   // right elbow
    {10, 1.0, 95, 65, 14, 0},   // right hand
    {11, 2.0, -35, 85, 15, 0},  // left hip
    {12, 1.5, -45, 175, 13, 0}, // left knee
    {13, 1.5, -50, 265, 16, 0}, // left foot
    {14, 2.0, 35, 85, 15, 0},   // right hip
    {15, 1.5, 45, 175, 13, 0},  // right knee
    {16, 1.5, 50, 265, 16, 0},  // right foot
};

const std::vector<Link> links = {
    {1, 2, 10, 1},  {1, 3, 12, 1},  {3, 4, 12, 1},                                 // neck and spine
    {1, 5, 9, 1},   {1, 8, 9, 1},   {5, 8, 6, 0},   {5, 3, 6, 0},   {8, 3, 6, 0},  // shoulders
    {5, 6, 8, 0},   {6, 7, 7, 0},   {8, 9, 8, 0},   {9, 10, 7, 0},                 // arms
    {4, 11, 9, 0},  {4, 14, 9, 0},  {11, 14, 6, 0}, {11, 3, 6, 0},  {14, 3, 6, 0}, // hips
    {11, 12, 9, 0}, {12, 13, 8, 0}, {14, 15, 9, 0}, {15, 16, 8, 0},                // legs
};

const std::vector<Spring> springs = {
    {2, 1, 3, 300},                      // head upright
    {1, 3, 4, 300},                      // spine straight
    {1, 5, 6, 120},   {5, 6, 7, 80},     // left arm
    {1, 8, 9, 120},   {8, 9, 10, 80},    // right arm
    {4, 11, 12, 200}, {11, 12, 13, 160}, // left leg
    {4, 14, 15, 200}, {14, 15, 16, 160}, // right leg
};

const Ball& ball(int id) {
    for (const Ball& b : balls)
        if (b.id == id) return b;
    return balls.front();
}

double distance(int a, int b) {
    return std::hypot(ball(b).x - ball(a).x, ball(b).y - ball(a).y);
}

// The angle a spring measures: direction of vertex->outer2 minus direction of vertex->outer1,
// clockwise on screen, in 0..360.
double poseangle(const Spring& s) {
    const Ball &a = ball(s.outer1), &v = ball(s.vertex), &c = ball(s.outer2);
    double deg = 180.0 / std::numbers::pi;
    double angle = std::atan2(c.y - v.y, c.x - v.x) * deg - std::atan2(a.y - v.y, a.x - v.x) * deg;
    while (angle < 0) angle += 360;
    while (angle >= 360) angle -= 360;
    return angle;
}

void write(FILE* out) {
    for (const Ball& b : balls)
        std::fprintf(out, "New Ball\n%d\n%g\n%g\n%g\n%g\n0\n0\n0\nnormal\n0\n%d\n", b.id, b.mass,
                     b.x, b.y, b.radius, b.coloured);
    for (const Link& l : links)
        std::fprintf(out, "New Link\n%d\n%d\n%.3f\n%g\nnormal\n%d\n", l.from, l.to,
                     distance(l.from, l.to), l.thickness, l.coloured);
    for (const Spring& s : springs)
        std::fprintf(out, "New Tension\n%d\n%d\n%d\n%.3f\n%g\n", s.outer1, s.vertex, s.outer2,
                     poseangle(s), s.strength);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: figure <output file>\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    write(out);
    return std::fclose(out) == 0 ? 0 : 1;
}
