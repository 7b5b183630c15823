// Networked war with two real games on one display, joined over loopback:
// the host opens the lobby from the "Network Setup" page, the guest connects
// to 127.0.0.1, and both see the names, the join, the ready toggle and chat.
#include <string>

#include <gtest/gtest.h>

#include "Flows.h"

using namespace e2e;
using namespace std::chrono_literals;

namespace {

LaunchOptions player(const std::string& name)
{
    LaunchOptions options = windowed();
    const std::string tail = "Tester\n\n";
    options.settings.replace(options.settings.size() - tail.size(), tail.size(), name + "\n127.0.0.1\n");
    return options;
}

// From the title to the "Network Setup" page, then "Connect" (4) or "Host" (5).
void enterNetworkGame(GameProcess& game, int item)
{
    game.bringToFront();
    leaveTitle(game);
    for (int i = 0; i < 5; ++i)
        clickMenuLine(game, 2);  // Tutorial -> ... -> War Local -> War Net
    clickMenuLine(game, 1);      // "Play": the network page
    clickMenuLine(game, item);
    game.pause(1900ms);  // the menu slides out
}

// Text pixels: bright, nearly grey.
int textPixels(const sf::Image& shot, sf::IntRect area)
{
    int n = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            const sf::Color c = shot.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            if (c.r > 150 && c.g > 150 && c.b > 150 && std::abs(c.r - c.b) < 30)
                ++n;
        }
    return n;
}

const sf::IntRect chatArea{215, 160, 480, 270};
const sf::IntRect secondNameArea{904, 65, 115, 26};  // seat 1's name and count

}  // namespace

TEST(NetPlay, HostAndGuestMeetInTheLobbyReadyUpAndChat)
{
    GameProcess host(player("Hostess"));
    ASSERT_NE(host.window(), 0ul);
    host.pause(500ms);
    enterNetworkGame(host, 5);
    const sf::Image alone = host.screenshot();
    alone.saveToFile(host.directory() + "/lobby_alone.png");
    EXPECT_LT(textPixels(alone, chatArea), 20) << "nobody has said anything yet";
    EXPECT_LT(textPixels(alone, secondNameArea), 20) << "seat 1 is empty";

    GameProcess guest(player("Guest"));
    ASSERT_NE(guest.window(), 0ul);
    guest.pause(500ms);
    enterNetworkGame(guest, 4);
    guest.pause(1000ms);

    // The host's lobby shows "*** Guest has joined." and the guest's name.
    const sf::Image joined = host.screenshot();
    joined.saveToFile(host.directory() + "/lobby_joined.png");
    const int joinText = textPixels(joined, chatArea);
    EXPECT_GT(joinText, 100) << "the join line should show";
    EXPECT_GT(textPixels(joined, secondNameArea), 60) << "the guest's name should show in its corner";
    // The guest learnt both names from the host.
    const sf::Image guestView = guest.screenshot();
    EXPECT_GT(textPixels(guestView, chatArea), 100);
    EXPECT_GT(textPixels(guestView, secondNameArea), 60);

    // Space toggles ready; Enter opens a chat line, Enter sends it.
    guest.bringToFront();
    guest.key("space");
    guest.key("Return");
    for (const char* k : {"h", "e", "l", "l", "o"})
        guest.key(k);
    guest.key("Return");
    guest.pause(700ms);
    const sf::Image talked = host.screenshot();
    talked.saveToFile(host.directory() + "/lobby_talked.png");
    EXPECT_GT(textPixels(talked, chatArea), joinText + 150) << "the ready line and the chat line should show";

    // Neither game left the lobby: Escape and Space do not pause a network game.
    EXPECT_TRUE(host.running());
    EXPECT_TRUE(guest.running());
    guest.closeWindow();
    EXPECT_EQ(guest.waitForExit(), 0);
    host.closeWindow();
    EXPECT_EQ(host.waitForExit(), 0);
}
