// The real game records what is played: a few throws, a pause and Exit leave
// a replay beside the settings that frothlet-replay plays back to the same
// field; a damaged copy is refused.
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

TEST(ReplayFile, ThrowsPauseAndExitLeaveAReplayThatVerifies)
{
    GameProcess game(windowed());
    ASSERT_TRUE(game.waitForOutput("starting main message loop\n"));
    enterInfinite(game);
    for (const auto& [x, y] : {std::pair{300, 500}, std::pair{760, 420}, std::pair{520, 600}}) {
        game.moveMouse(x, y);
        game.pause(150ms);
        game.click(x, y);
        game.moveMouse(x / 2 + 200, 700);
        game.pause(1800ms);
    }
    game.key("Escape");
    game.pause(1500ms);
    clickMenuLine(game, 5);  // "Exit" on the pause page
    EXPECT_EQ(game.waitForExit(), 0);

    const std::string file = game.directory() + "/last-round.frothrec";
    std::string out;
    EXPECT_EQ(runCommand({FROTHLET_REPLAY_BINARY, file}, &out), 0) << out;
    EXPECT_EQ(out.rfind("replay ok ", 0), 0u) << out;

    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    const std::string damaged = game.directory() + "/damaged.frothrec";
    std::ofstream(damaged, std::ios::binary) << bytes.substr(0, bytes.size() - 30);
    out.clear();
    EXPECT_EQ(runCommand({FROTHLET_REPLAY_BINARY, damaged}, &out), 1);
    EXPECT_EQ(out, "Replay file refused: damaged or not from this version\n");
}
