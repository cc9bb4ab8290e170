// The window's events turned into the keyboard state the game polls.
#pragma once

// Handles every pending SDL event (installed as rt().pumpEvents while SDL video runs).
void PumpEvents();
