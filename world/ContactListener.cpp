#include "world/ContactListener.h"

#include "world/Bursts.h"
#include "world/Microbe.h"
#include "world/Units.h"

namespace {

template <typename Record>
Record* recordOf(b2Fixture* fixture)
{
    return reinterpret_cast<Record*>(fixture->GetBody()->GetUserData().pointer);
}

// Orders a contact's fixtures so that `first` has category a and `second` b.
bool match(b2Contact* contact, unsigned short a, unsigned short b, b2Fixture*& first, b2Fixture*& second)
{
    b2Fixture* fa = contact->GetFixtureA();
    b2Fixture* fb = contact->GetFixtureB();
    const unsigned short ca = fa->GetFilterData().categoryBits;
    const unsigned short cb = fb->GetFilterData().categoryBits;
    if (ca == a && cb == b) {
        first = fa;
        second = fb;
        return true;
    }
    if (ca == b && cb == a) {
        first = fb;
        second = fa;
        return true;
    }
    return false;
}

void holdStill(Microbe& m)
{
    if (!m.keepsMoving)
        m.body->SetLinearDamping(1000.f);
}

}  // namespace

void cContactListener::BeginContact(b2Contact* contact)
{
    b2Fixture* sensor = nullptr;
    b2Fixture* bubble = nullptr;
    if (!match(contact, BodyCategory::Burst, BodyCategory::Bubble, sensor, bubble))
        return;
    // Only the catcher sensor meets a bubble while carrying the burst category.
    Catcher* catcher = recordOf<Catcher>(sensor);
    if (catcher && catcher->timer == 0 && catcher->armed) {
        catcher->timer = 600;
        catcher->armed = false;
    }
}

void cContactListener::PostSolve(b2Contact* contact, const b2ContactImpulse*)
{
    b2Fixture* first = nullptr;
    b2Fixture* second = nullptr;
    if (match(contact, BodyCategory::Microbe, BodyCategory::Bubble, first, second)) {
        Microbe* m = recordOf<Microbe>(first);
        Bubble* b = recordOf<Bubble>(second);
        if (!m || !b || m->type > 999)
            return;
        hitMicrobe(*m, 1);
        m->hitBy = HitByBubble;
        b->hitColor = m->color;
        holdStill(*m);
        return;
    }
    if (match(contact, BodyCategory::Microbe, BodyCategory::Burst, first, second)) {
        Microbe* m = recordOf<Microbe>(first);
        if (!m)
            return;
        hitMicrobe(*m, 1);
        m->hitBy = HitByBurst;
        holdStill(*m);
        return;
    }
    if (match(contact, BodyCategory::Bubble, BodyCategory::Paddle, first, second)) {
        if (Bubble* b = recordOf<Bubble>(first))
            b->touchedPaddle = true;
    }
}
