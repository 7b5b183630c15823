// The tutorial driven step by step on a real field.
#include <filesystem>
#include <fstream>

#include "FieldTestSupport.h"
#include "app/Settings.h"
#include "screens/Tutorial.h"

using namespace fieldtest;
namespace fs = std::filesystem;

namespace {

struct Snapshot {
    std::vector<int> types;
    std::vector<float> xs;
    std::vector<float> ys;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const MicrobePool& pool)
{
    Snapshot s;
    for (const Microbe& m : pool.microbes) {
        s.types.push_back(m.type);
        s.xs.push_back(m.body->GetPosition().x);
        s.ys.push_back(m.body->GetPosition().y);
    }
    return s;
}

class TutorialTest : public FieldTest {
protected:
    void SetUp() override
    {
        FieldTest::SetUp();
        dir = fs::temp_directory_path() / ("frothlet-tutorial-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ctx.settingsPrefix = dir.string() + "/";
        build(FieldRules{});
        tutorial = std::make_unique<Tutorial>(*field);
        testing::internal::CaptureStdout();
        tutorial->Reset(ctx);
        resetOutput = testing::internal::GetCapturedStdout();
    }
    void TearDown() override { fs::remove_all(dir); }

    // The first live microbe worth points.
    Microbe& liveMicrobe()
    {
        for (Microbe& m : field->pool.microbes)
            if (!m.bursting && !m.dead && m.points > 0)
                return m;
        return field->pool.at(0);
    }

    // Hits a microbe as the contact listener would, then runs the step that
    // scores it.
    void hit(HitSource source)
    {
        touch(liveMicrobe(), source);
        tutorial->fixedStep(ctx);
    }

    // Runs fixed steps until "Click to continue." shows; answers how many.
    int stepsUntilFrozen()
    {
        int n = 0;
        while (!tutorial->toastShowing && n < 200) {
            tutorial->fixedStep(ctx);
            ++n;
        }
        return n;
    }

    fs::path dir;
    std::unique_ptr<Tutorial> tutorial;
    std::string resetOutput;
};

}  // namespace

TEST_F(TutorialTest, EveryPracticeFieldIsTheSameFieldOf15To25Microbes)
{
    const Snapshot first = snapshot(field->pool);
    EXPECT_GE(first.types.size(), 15u);
    EXPECT_LE(first.types.size(), 25u);
    EXPECT_NE(resetOutput.find("Reset!\n"), std::string::npos);
    testing::internal::CaptureStdout();
    tutorial->Reset(ctx);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), resetOutput);
    EXPECT_EQ(snapshot(field->pool), first);
    EXPECT_EQ(ctx.totalMicrobes, static_cast<int>(first.types.size()));
}

TEST_F(TutorialTest, StepsAdvanceThroughSlowDownFreezeAndClick)
{
    EXPECT_EQ(tutorial->tutorialStep, 0);
    hit(HitByBubble);
    EXPECT_EQ(tutorial->tutorialStep, 1);
    EXPECT_EQ(tutorial->stepsDone, 0x1);
    EXPECT_EQ(field->comboCount, 0) << "steps 0 to 2 never raise the combo";
    EXPECT_TRUE(tutorial->toastPending);

    // From the next step on the game slows from 1/60 s by a tenth per step.
    EXPECT_EQ(stepsUntilFrozen(), 39);
    EXPECT_FLOAT_EQ(tutorial->slowStep, Tutorial::normalStep);
    const int stepsBefore = field->stepCount;
    for (int i = 0; i < 10; ++i)
        tutorial->fixedStep(ctx);
    EXPECT_EQ(field->stepCount, stepsBefore) << "no physics step runs while frozen";

    testing::internal::CaptureStdout();
    tutorial->dismiss(ctx);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Reset!\n", 0), 0u);
    EXPECT_FALSE(tutorial->toastShowing);
    EXPECT_EQ(tutorial->tutorialStep, 1) << "a click lays a fresh field for the same step";

    hit(HitByBubble);
    EXPECT_EQ(tutorial->tutorialStep, 1) << "a bubble hit is no chain reaction";
    hit(HitByBurst);
    EXPECT_EQ(tutorial->tutorialStep, 2);
}

TEST_F(TutorialTest, FragmentHitNeverAdvancesStepZero)
{
    Microbe& fragment = field->pool.addMicrobe(1002, 300.f, 300.f, 0.f, 0.f);
    fragment.hitBy = HitByBubble;
    tutorial->fixedStep(ctx);
    EXPECT_EQ(tutorial->tutorialStep, 0);
    EXPECT_EQ(field->comboCount, 0);
}

TEST_F(TutorialTest, BubbleHitsBeforeStepThreeNeverRaiseTheCombo)
{
    for (const int step : {0, 1, 2}) {
        SCOPED_TRACE("step " + std::to_string(step));
        tutorial->tutorialStep = step;
        throwToward(512, 700);
        hit(HitByBubble);
        EXPECT_EQ(field->comboCount, 0);
        hit(HitByBubble);
        EXPECT_EQ(field->comboCount, 0);
    }
}

TEST_F(TutorialTest, RestartDuringASlowDownStartsAtFullSpeed)
{
    hit(HitByBubble);
    for (int i = 0; i < 5; ++i)
        tutorial->fixedStep(ctx);
    ASSERT_TRUE(tutorial->toastPending);
    testing::internal::CaptureStdout();
    tutorial->Reset(ctx);  // the pause page's "Restart"
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(tutorial->tutorialStep, 0);
    EXPECT_FALSE(tutorial->toastPending);
    EXPECT_FLOAT_EQ(tutorial->slowStep, Tutorial::normalStep);
    const int stepsBefore = field->stepCount;
    tutorial->fixedStep(ctx);
    EXPECT_EQ(field->stepCount, stepsBefore + 1);
}

TEST_F(TutorialTest, StepThreeNeedsTwoHitsWithoutAPaddleTouchBetween)
{
    tutorial->tutorialStep = 3;
    tutorial->stepsDone = 0x111;
    throwToward(512, 700);
    hit(HitByBubble);
    EXPECT_EQ(field->comboCount, 1);
    // A paddle touch takes one off and a count of 1 becomes 0.
    field->bubbles.back().touchedPaddle = true;
    tutorial->fixedStep(ctx);
    EXPECT_EQ(field->comboCount, 0);
    hit(HitByBubble);
    EXPECT_EQ(field->comboCount, 1);
    EXPECT_EQ(tutorial->tutorialStep, 3);
    hit(HitByBubble);
    EXPECT_EQ(tutorial->tutorialStep, 4);
    EXPECT_EQ(tutorial->stepsDone, 0x1111);
}

TEST_F(TutorialTest, ClearedFieldIsLaidAgainAndTheStepStays)
{
    tutorial->tutorialStep = 2;
    tutorial->stepsDone = 0x11;
    tutorial->fixedStep(ctx);
    ctx.remainingFraction = 0.1f;  // cleared, nothing bursting
    testing::internal::CaptureStdout();
    tutorial->fixedStep(ctx);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Reset!\n"), std::string::npos);
    EXPECT_EQ(tutorial->tutorialStep, 2);
    EXPECT_FLOAT_EQ(ctx.remainingFraction, 1.0f);
    EXPECT_FALSE(resetPending);
}

TEST_F(TutorialTest, SettingsAreWrittenOnceAtTheFirstAdvanceEver)
{
    const fs::path file = dir / "settings.cfg";
    ASSERT_FALSE(fs::exists(file));
    hit(HitByBubble);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(ctx.settings.tutorialPlayed, 1);
    fs::remove(file);
    stepsUntilFrozen();
    tutorial->dismiss(ctx);
    hit(HitByBurst);
    EXPECT_EQ(tutorial->tutorialStep, 2);
    EXPECT_FALSE(fs::exists(file)) << "later advances do not write the file again";
}

TEST_F(TutorialTest, AfterTheLastStepTheGameRunsSlowlyThenHandsOverToInfinite)
{
    ctx.modeList = {2, 3, 4, 5, 6, 7};
    tutorial->tutorialStep = 3;
    tutorial->stepsDone = 0x111;
    hit(HitByBubble);
    hit(HitByBubble);
    ASSERT_EQ(tutorial->tutorialStep, 4);
    testing::internal::CaptureStdout();
    int steps = 0;
    while (!resetPending && steps < 1000) {
        tutorial->fixedStep(ctx);
        ++steps;
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Level over\n");
    EXPECT_TRUE(resetPending);
    EXPECT_LE(steps, 300) << "five seconds of slow motion at the most";
    EXPECT_EQ(ctx.requestedPage, PageTutorialComplete);
    EXPECT_EQ(ctx.selectedMode, 3);
    EXPECT_EQ(ctx.modeIndex, 1);
    EXPECT_FALSE(tutorial->toastShowing);
    resetPending = false;

    // Coming back later, after other games, starts the tutorial again.
    EXPECT_TRUE(tutorial->finished());
    testing::internal::CaptureStdout();
    tutorial->Reset(ctx);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(tutorial->finished());
    EXPECT_EQ(tutorial->tutorialStep, 0);
    EXPECT_EQ(tutorial->stepsDone, 0);
}
