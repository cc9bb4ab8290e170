// The angle of a vector, the same to the last bit on every machine and compiler. The C
// libraries' atan2 differ in their last bit from one system to another, and the game calls it
// every frame (the angular springs, the computer players): a Windows and a Linux machine
// playing together would go out of sync seconds later. This one is found with + - * / alone
// (no fused multiply-add, no x87, no call into the C library's maths), within 1.5 units in the
// last place of the exact angle, in radians in [-pi, pi], with the C standard's answers for
// zeros, infinities and NaN.
#pragma once

double arctan2(double y, double x);
