// The tuning numbers of the ragdoll physics. They were chosen as single-precision values and
// the whole step depends on their exact widened-to-double bits (a seeded match must replay
// identically), so each one is written as the float literal it started as.
#pragma once

// Any divisor whose magnitude falls below this is replaced by it (sign included).
inline constexpr double GUARD = double(0.00001f);
// Share of a link's length error removed per solver pass.
inline constexpr double LINKSTIFFNESS = double(0.3f);
// Restitution of every ball-ball and ball-link contact.
inline constexpr double BOUNCE = double(0.88f);
// Velocity kept per step: the only damping of free motion.
inline constexpr double DAMPING = double(0.995f);
// Share of the sliding speed a link takes from a non-elastic ball.
inline constexpr double LINKFRICTION = double(0.1f);
// Speed kept by a non-elastic ball bouncing off a straight wall.
inline constexpr double WALLBOUNCE = double(0.8f);
// Limit of a tension's strength relative to arm length squared times the lightest mass.
inline constexpr double TENSIONCAP = double(0.7f);
// Gap left between a ball and a straight wall after a bounce.
inline constexpr double WALLMARGIN = double(0.01f);
// Extra separation added when two bodies are pushed apart.
inline constexpr double SEPARATION = double(0.1f);
// Mass every solver uses for a fixed ball.
inline constexpr double FIXEDMASS = 99.0;
// Relaxation passes per step.
inline constexpr int RELAXPASSES = 21;
// The kick given to a contact: 0 or less is the normal bounce (the match always passes this
// one), more than 0 pushes the touching parts apart at that speed instead (figures stuck in
// each other get this one).
inline constexpr double BOUNCEKICK = -20;
inline constexpr double SEPARATINGKICK = 60;
// Length of the motion histories of figures and main balls.
inline constexpr int HISTORY = 50;
