// Contacts between different ragdoll objects. kick <= 0 gives the normal bounce; kick > 0
// instead pushes the touching parts apart at that speed (frees figures stuck in each other).
// Each returns 1 when a contact happened.
#pragma once

class Tball;
class Tlink;
class ragobject;

int collideballs(Tball& a, Tball& b, double kick);
int collidelink(Tball& ball, Tlink& link, double kick);
// Every link of each object against every ball of the other, then every pair of balls.
int collideobjects(ragobject& first, ragobject& second, double kick);
