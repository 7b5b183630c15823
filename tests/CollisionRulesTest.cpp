// Who meets whom in the field's real physics world: the fixture filters decide
// that the bubble flies through the fences, that microbes stay penned between
// them, and that bursts ignore walls and bubbles.
#include <algorithm>

#include "tests/FieldTestSupport.h"

namespace {

using fieldtest::FieldTest;
using fieldtest::pixelsOf;

class CollisionRules : public FieldTest {
protected:
    // Plain world steps: only the filters and the contact listener act.
    void stepWorld(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            field->physics().Step(1.f / 60.f, 3, 3);
    }

    // A thrown bubble moved to (x, y) pixels with velocity (vx, vy) m/s.
    b2Body* bubbleAt(float x, float y, float vx, float vy)
    {
        b2Body* body = throwToward(512, 700).body;
        body->SetTransform(b2Vec2(x / pixelsPerMetre, y / pixelsPerMetre), 0.f);
        body->SetLinearVelocity(b2Vec2(vx, vy));
        return body;
    }

    bool touching(const b2Body* a, const b2Body* b)
    {
        for (b2Contact* c = field->physics().GetContactList(); c; c = c->GetNext()) {
            const b2Body* ca = c->GetFixtureA()->GetBody();
            const b2Body* cb = c->GetFixtureB()->GetBody();
            if (c->IsTouching() && ((ca == a && cb == b) || (ca == b && cb == a)))
                return true;
        }
        return false;
    }
};

TEST_F(CollisionRules, BubbleRisesThroughBothFencesToTheCatcherAndTheFarCeiling)
{
    build();
    // From below the bottom fence, fast enough to climb 80 m on gravity alone.
    b2Body* bubble = bubbleAt(300.f, 740.f, 0.f, -40.f);
    float highest = 740.f;
    for (int i = 0; i < 150; ++i) {
        stepWorld();
        highest = std::min(highest, pixelsOf(bubble).y);
    }
    EXPECT_EQ(field->catcher.timer, 600);
    EXPECT_FALSE(field->catcher.armed);
    // The ceiling's lower face is at -863 px; the bubble's radius is 10 px.
    EXPECT_GT(highest, -863.f);
    EXPECT_LT(highest, -845.f);
    EXPECT_GT(bubble->GetLinearVelocity().y, 0.f) << "bounced back down";
}

class FastMicrobe : public CollisionRules, public ::testing::WithParamInterface<b2Vec2> {};

TEST_P(FastMicrobe, NeverCrossesTheFencesOrWalls)
{
    build();
    Microbe& m = field->pool.addMicrobe(3, 512.f, 400.f, GetParam().x, GetParam().y);
    for (int i = 0; i < 600; ++i) {
        stepWorld();
        const sf::Vector2f p = pixelsOf(m.body);
        ASSERT_GT(p.y, 95.f) << "step " << i;
        ASSERT_LT(p.y, 723.f) << "step " << i;
        ASSERT_GT(p.x, 1.f) << "step " << i;
        ASSERT_LT(p.x, 1023.f) << "step " << i;
    }
}

// Impulses in N s on a 0.86 kg microbe; the largest reach Box2D's speed limit.
INSTANTIATE_TEST_SUITE_P(Impulses, FastMicrobe,
                         ::testing::Values(b2Vec2(0.f, 60.f), b2Vec2(0.f, -60.f), b2Vec2(20.f, 100.f),
                                           b2Vec2(-30.f, -100.f), b2Vec2(7.f, 250.f), b2Vec2(250.f, 3.f)));

class MicrobeCollisionFlag : public CollisionRules, public ::testing::WithParamInterface<bool> {};

TEST_P(MicrobeCollisionFlag, DecidesWhetherMicrobesPassEachOtherButNeverTheWalls)
{
    const bool noCollision = GetParam();
    build();
    field->pool.noMicrobeCollision = noCollision;
    Microbe& left = field->pool.addMicrobe(3, 400.f, 300.f, 5.f, 0.f);
    Microbe& right = field->pool.addMicrobe(3, 600.f, 300.f, -5.f, 0.f);
    bool passed = false;
    for (int i = 0; i < 600; ++i) {
        stepWorld();
        passed = passed || pixelsOf(left.body).x > pixelsOf(right.body).x;
        for (const Microbe* m : {&left, &right}) {
            ASSERT_GT(pixelsOf(m->body).x, 1.f);
            ASSERT_LT(pixelsOf(m->body).x, 1023.f);
        }
    }
    EXPECT_EQ(passed, noCollision);
}

INSTANTIATE_TEST_SUITE_P(Flag, MicrobeCollisionFlag, ::testing::Bool());

TEST_F(CollisionRules, BurstFliesThroughWallsButBouncesOffFences)
{
    build();
    Microbe& sideways = field->pool.addMicrobe(3, 100.f, 300.f, 0.f, 0.f);
    Microbe& downwards = field->pool.addMicrobe(3, 300.f, 600.f, 0.f, 0.f);
    for (Microbe* m : {&sideways, &downwards})
        touch(*m, HitByBurst);
    ASSERT_EQ(fieldtest::categoryOf(sideways.body), BodyCategory::Burst);
    sideways.body->SetLinearVelocity(b2Vec2(-10.f, 0.f));
    downwards.body->SetLinearVelocity(b2Vec2(0.f, 10.f));
    float lowest = 0.f;
    for (int i = 0; i < 60; ++i) {
        stepWorld();
        lowest = std::max(lowest, pixelsOf(downwards.body).y);
    }
    EXPECT_LT(pixelsOf(sideways.body).x, -150.f) << "inside or past the left wall";
    EXPECT_LT(lowest, 723.f);
    EXPECT_LT(downwards.body->GetLinearVelocity().y, 0.f) << "bounced off the bottom fence";
}

class BubbleOverMicrobe : public CollisionRules, public ::testing::WithParamInterface<bool> {};

TEST_P(BubbleOverMicrobe, OnlyALiveMicrobeIsTouched)
{
    const bool bursting = GetParam();
    build();
    Microbe& m = field->pool.addMicrobe(3, 300.f, 400.f, 0.f, 0.f);
    if (bursting)
        hitMicrobe(m, 1);
    b2Body* bubble = bubbleAt(300.f, 395.f, 0.f, 0.f);
    stepWorld();
    EXPECT_EQ(touching(bubble, m.body), !bursting);
    EXPECT_EQ(m.hitBy, bursting ? NotHit : HitByBubble);
}

INSTANTIATE_TEST_SUITE_P(LiveOrBursting, BubbleOverMicrobe, ::testing::Bool());

}  // namespace
