// A ragdoll object: balls joined by links and tensions, stepped as one body. Figures, the
// body around each main ball and the arena's obstacles are all ragdoll objects.
#pragma once
#include "physics/ball.h"
#include "physics/link.h"
#include "physics/tension.h"
#include <memory>
#include <vector>

struct Tarena;

// The means of an object's balls, kept by the object between steps.
struct ragobjectstate {
    double centrex = 0, centrey = 0; // valid after computecentre
    double meanvx = 0, meanvy = 0;   // valid after computevelocity

    bool operator==(const ragobjectstate&) const = default;
};

class ragobject : public ragobjectstate {
  public:
    ragobject() = default;
    // Moving keeps the balls where they are, so the links' and tensions' references stay valid.
    ragobject(ragobject&&) = default;
    ragobject& operator=(ragobject&&) = default;
    virtual ~ragobject() = default;

    std::vector<std::unique_ptr<Tball>> balls; // load order; the first one is steered
    std::vector<Tlink> links;
    std::vector<Ttension> tensions;

    // Means over the balls; the object must have at least one ball.
    void computecentre();
    void computevelocity();
    void setmasses();
    void updatevelocities(double dt);
    void storeold();
    void integrate(double dt, double g);
    void pin();
    void relax(double dt);
    virtual void draw(const Camera& cam) const;
    void solvelinks();
    void solvetensions(double dt);
    void collidearena(const Tarena& arena);
};
