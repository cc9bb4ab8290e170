// The game's pictures. All but the logo are white or grey with alpha: the game tints them with
// the drawing colour (team colours, greys, bar colours).
#pragma once
#include "canvas.h"

// A lit ball filling a size x size picture (ball.png at 300, bigball.png at 800).
Canvas makeBall(int size);
// The main ball (mainball+0.png): a football whose panels show its turning.
Canvas makeMainBall();
// A link between two balls (rect.png): a rounded bar lit across its width; the game stretches
// it to the link's length and thickness.
Canvas makeLinkBar();
// The surroundings of the stadium's left round end (mezball2.png): opaque outside, clear inside
// the half disc of radius 500 centred on (500, 500).
Canvas makeRoundEnd();
// A soft white glow for fireworks and the ball trail (spark.png).
Canvas makeSpark();
// The colour-bar strip (scia.png): a glossy bar, stretched and tinted per figure.
Canvas makeBarStrip();
