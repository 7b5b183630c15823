// The window's OpenGL context: what the game asks for and what it settles for.
#pragma once

#include <string>
#include <string_view>

#include <SFML/Window/ContextSettings.hpp>

// Whether an OpenGL renderer name is a software rasterizer (Mesa's llvmpipe,
// softpipe and swrast, Windows' generic one), where multisampling costs most
// of every frame.
bool isSoftwareRenderer(std::string_view rendererName);

// The renderer that draws our windows, read from a context made for the asking.
std::string rendererName();

// Depth and stencil for the game, OpenGL 2.0, and the settings' multisampling
// wherever it is cheap: a software rasterizer gets none (the shapes smooth
// their own edges then).
sf::ContextSettings windowContextSettings(int depthBits, int antialiasingLevel);
