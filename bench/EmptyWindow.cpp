// The yardstick of the frame-pacing benchmark: an SFML window of the game's
// size and context settings that only clears and shows itself, as fast as it
// can, for the given seconds. Arguments: seconds, depth bits, antialiasing
// level, and "requested" to keep the antialiasing as asked instead of the
// game's own choice for this renderer.
#include <cstdlib>
#include <string>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/Window/Event.hpp>

#include "app/GameWindow.h"

int main(int argc, char** argv)
{
    const float seconds = argc > 1 ? std::strtof(argv[1], nullptr) : 5.f;
    const int depthBits = argc > 2 ? std::atoi(argv[2]) : 32;
    const int antialiasing = argc > 3 ? std::atoi(argv[3]) : 4;
    const bool asRequested = argc > 4 && std::string(argv[4]) == "requested";

    sf::ContextSettings context = windowContextSettings(depthBits, antialiasing);
    if (asRequested)
        context.antialiasingLevel = static_cast<unsigned>(antialiasing);
    sf::RenderWindow window(sf::VideoMode(1024, 768, 32), "Frothlet empty window",
                            sf::Style::Titlebar | sf::Style::Close, context);
    window.setVerticalSyncEnabled(false);
    sf::Clock clock;
    while (window.isOpen() && clock.getElapsedTime().asSeconds() < seconds) {
        sf::Event event;
        while (window.pollEvent(event))
            if (event.type == sf::Event::Closed)
                window.close();
        window.clear(sf::Color::Black);
        window.display();
    }
    return 0;
}
