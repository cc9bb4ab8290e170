// The distance-link solver shared by ragobject::solvelinks.
#pragma once

class Tball;

// Moves a's and b's corrections so that their distance approaches length, shared by mass.
void solvelink(Tball& a, Tball& b, double length);
