// The field's circles all share one shape of fixture: a radius, its surface
// and its collision filter.
#pragma once

#include <box2d/box2d.h>

struct CircleFixture {
    float radius = 0.f;  // metres
    float friction = 0.2f;
    float restitution = 0.f;
    float density = 0.f;
    unsigned short category = 1;
    unsigned short mask = 0xFFFF;
};

inline b2Fixture* attachCircle(b2Body* body, const CircleFixture& c)
{
    b2CircleShape circle;
    circle.m_radius = c.radius;
    b2FixtureDef fixture;
    fixture.shape = &circle;
    fixture.friction = c.friction;
    fixture.restitution = c.restitution;
    fixture.density = c.density;
    fixture.filter.categoryBits = c.category;
    fixture.filter.maskBits = c.mask;
    return body->CreateFixture(&fixture);
}
