// Marks what touched what during a world step. It only writes record fields,
// filters and damping: bodies are created and destroyed after the step.
#pragma once

#include <box2d/box2d.h>

class cContactListener : public b2ContactListener {
public:
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact*) override {}
    void PreSolve(b2Contact*, const b2Manifold*) override {}
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;
};
