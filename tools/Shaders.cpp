// The two fragment shaders of the game, written as plain GLSL 1.10 so that
// they compile on any desktop driver, Mesa's software renderer included.
// SFML's fixed-function vertex stage hands them gl_TexCoord[0] (normalised,
// already flipped for render textures) and gl_Color (the drawable's colour).
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/Generators.h"

namespace {

// gradiant.frag: the title and menu screens (and the game field) show the
// background slide through this. It lights the slide like a microscope lamp:
// brightest in the middle of the view, falling off towards the edges, with a
// faint blue-green cast. The view shows one half of the 1536 px tall picture,
// so the vertical falloff uses sin^2 with a period of half the texture: it is
// the same whichever half is on screen and stays smooth when the view scrolls.
const char* const kGradientShader = R"(// Background slide under a soft lamp.
uniform sampler2D texture;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec4 slide = texture2D(texture, uv);

    float across = sin(3.14159265 * uv.x);
    float down = sin(6.28318531 * uv.y);
    float lamp = across * across * down * down;
    float light = 0.62 + 0.58 * sqrt(lamp);

    vec3 colour = slide.rgb * light;
    colour += vec3(0.010, 0.030, 0.036) * lamp;
    gl_FragColor = vec4(colour, slide.a) * gl_Color;
}
)";

// lines.frag: the thin HUD strip and the catcher strip. The colour and the
// translucency come from gl_Color (the fill colour of what is drawn), and the
// shader adds fine scan lines and a slow band of light sweeping across, like
// the readout of a lab instrument. Works in screen pixels, so it needs no
// texture.
const char* const kLinesShader = R"(// Animated scan-line strip.
uniform float time;
uniform vec2 resolution;

void main()
{
    vec2 size = max(resolution, vec2(1.0));
    vec2 p = gl_FragCoord.xy;

    float scan = 0.5 + 0.5 * sin(p.y * 3.14159265 * 0.5 + time * 3.0);
    float sweep = fract(p.x / size.x * 0.8 - time * 0.15);
    float glow = exp(-pow((sweep - 0.5) * 9.0, 2.0));
    float ripple = 0.5 + 0.5 * sin(p.x * 0.045 - time * 2.2 + sin(p.y * 0.3));

    float light = 0.75 + 0.2 * scan + 0.1 * ripple + 0.45 * glow;
    float alpha = gl_Color.a * clamp(0.55 + 0.2 * scan + 0.35 * glow, 0.0, 1.0);
    gl_FragColor = vec4(min(gl_Color.rgb * light + vec3(0.08) * glow, vec3(1.0)), alpha);
}
)";

bool writeText(const std::string& dir, const char* name, const char* text)
{
    const std::string path = (dir.empty() || dir.back() == '/') ? dir + name : dir + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (file)
        return true;
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

namespace resgen {

bool writeShaders(const std::string& dir)
{
    const bool gradient = writeText(dir, "gradiant.frag", kGradientShader);
    const bool lines = writeText(dir, "lines.frag", kLinesShader);
    return gradient && lines;
}

}  // namespace resgen
