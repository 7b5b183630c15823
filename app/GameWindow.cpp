#include "app/GameWindow.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <SFML/Window/Context.hpp>

namespace {

constexpr unsigned glRenderer = 0x1F01;  // GL_RENDERER

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

bool isSoftwareRenderer(std::string_view name)
{
    static constexpr std::array<std::string_view, 5> software = {"llvmpipe", "softpipe", "swrast",
                                                                 "software rasterizer", "gdi generic"};
    const std::string lower = lowered(name);
    return std::any_of(software.begin(), software.end(),
                       [&](std::string_view s) { return lower.find(s) != std::string::npos; });
}

std::string rendererName()
{
    sf::Context probe;
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(sf::Context::getFunction("glGetString"));
    if (!getString)
        return {};
    const unsigned char* name = getString(glRenderer);
    return name ? std::string(reinterpret_cast<const char*>(name)) : std::string();
}

sf::ContextSettings windowContextSettings(int depthBits, int antialiasingLevel)
{
    sf::ContextSettings context;
    context.depthBits = static_cast<unsigned>(std::max(depthBits, 0));
    context.stencilBits = 8;
    context.antialiasingLevel = static_cast<unsigned>(std::max(antialiasingLevel, 0));
    context.majorVersion = 2;
    context.minorVersion = 0;
    if (context.antialiasingLevel > 0 && isSoftwareRenderer(rendererName()))
        context.antialiasingLevel = 0;
    return context;
}
