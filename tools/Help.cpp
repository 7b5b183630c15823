// help.html: the game's own help page, opened by "Help" when there is no
// web site to send the player to. Written from the rules as the game plays
// them; plain HTML with its style inline, so it reads the same in any
// browser and needs nothing beside it.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/Generators.h"

namespace {

struct Section {
    const char* id;
    const char* title;
    const char* body;  // HTML
};

const char* const style = R"(
body { background: #0b2026; color: #d8f0ea; font-family: sans-serif; line-height: 1.5;
       max-width: 46em; margin: 2em auto; padding: 0 1em; }
h1 { color: #85e372; margin-bottom: 0; }
h2 { color: #78b4f0; border-bottom: 1px solid #1e4a50; padding-bottom: .2em; margin-top: 1.6em; }
a { color: #f0c060; }
code, kbd { background: #143840; padding: 0 .3em; border-radius: 3px; }
table { border-collapse: collapse; }
td, th { border: 1px solid #1e4a50; padding: .2em .6em; text-align: left; }
nav a { margin-right: 1em; }
footer { margin-top: 3em; color: #7aa; font-size: small; }
)";

const Section sections[] = {
    {"goal", "The game",
     R"(<p>You throw a bubble from the top of a microscope slide into a cloud of floating
microbes held between two fences. A microbe the bubble touches bursts: it flashes
through its fuse, then grows into a ring that bursts every microbe it touches, and
those burst their neighbours in turn. One good throw can set off a chain reaction
across the whole field.</p>
<p>The paddle at the bottom keeps the bubble in play. A bubble that falls out at the
bottom is lost; throw the next one when you are ready.</p>)"},

    {"controls", "Controls",
     R"(<table>
<tr><th>Device</th><th>Steer and aim</th><th>Throw</th></tr>
<tr><td>Mouse (the default)</td><td>move the mouse</td><td>any button</td></tr>
<tr><td>Keyboard</td><td><kbd>Left</kbd> and <kbd>Right</kbd></td><td><kbd>Control</kbd></td></tr>
<tr><td>Joystick</td><td>the X axis</td><td>button 0</td></tr>
</table>
<p>Pick the device under <em>Options</em>, <em>Control Options</em>, <em>Input</em>;
<em>Sensitivity</em> sets how strongly the mouse paddle is pulled back to the
middle. <kbd>Escape</kbd>, <kbd>Space</kbd> or the middle mouse button pause the game.
With <em>Auto Pause</em> on, the game also pauses when its window loses the focus.
<em>Lock Mouse</em> keeps the pointer inside the window while you play.</p>
<p>The menu is played with the mouse: the left button chooses, and on items that
hold a value (volumes, sizes, devices) the left and right buttons step it down and up.</p>)"},

    {"modes", "Modes",
     R"(<p>Choose the mode with the main menu's <em>Mode</em> item, then <em>Play</em>.</p>
<dl>
<dt>Tutorial</dt><dd>Learn to aim, throw and keep the bubble up, step by step.</dd>
<dt>Infinite</dt><dd>Field after field that never ends; your score carries over from one
field to the next.</dd>
<dt>Course</dt><dd>A course of generated levels, nine unless you choose another number
under <em>Rounds</em>. Finish them with as few throws as you can; the menu shows your
throws and points per level.</dd>
<dt>Clean</dt><dd>A layer of murky dirt covers the slide. Every microbe whose burst has
finished wipes the dirt under it, and goes on wiping wherever it drifts, so wide chain
reactions clean best.</dd>
<dt>War Local</dt><dd>Four players on one machine, each defending a cluster of eight
microbes in a corner with a paddle that circles that corner. One bubble bounces
between walls, bumpers and paddles and bursts any microbe it touches. A player whose
last microbe has burst is out; the last one standing wins. Each seat plays with a
joystick, the mouse, the keyboard or the computer, chosen on the <em>Input Selection</em>
page.</dd>
<dt>War Net</dt><dd>The same war over the network, one player on each of four machines
(see <a href="#network">Network play</a>).</dd>
</dl>)"},

    {"difficulty", "Difficulty and clearing a field",
     R"(<table>
<tr><th>Difficulty</th><th>A field is cleared when</th><th>Clean mode: cleaned share</th></tr>
<tr><td>Casual</td><td>80&nbsp;% of its microbes have burst</td><td>30&nbsp;%</td></tr>
<tr><td>Normal</td><td>90&nbsp;%</td><td>60&nbsp;%</td></tr>
<tr><td>Hard</td><td>100&nbsp;%</td><td>90&nbsp;%</td></tr>
</table>
<p>Once a field is cleared and the last bursts have died down, the round is over and
<em>Continue</em> brings the next field.</p>)"},

    {"scoring", "Scoring and combos",
     R"(<ul>
<li>Every microbe that the bubble hits raises your combo by one.</li>
<li>A burst microbe is worth its points (most are worth 5). From a combo of 2 on,
a hit is worth <code>combo &times; points &times; 10</code>: a combo is worth far more
than single hits.</li>
<li>Every touch of the paddle lowers the combo by one (a combo of 1 falls straight to 0),
and a lost bubble ends it.</li>
<li>The banner shows the combo; 3 is <em>Super!</em>, 5 <em>Awesome</em>, 7 and more
<em>Incredible</em>.</li>
</ul>
<p>So keep the bubble among the microbes and touch the paddle as rarely as you can.</p>)"},

    {"codes", "Course codes",
     R"(<p>A course is made from one seed, so it can be passed on as a short code: the number
of rounds, the seed and a version, joined by dashes. A nine-level course from seed 4660
reads <code>9-4660-1</code>. The <em>Course Options</em> page shows the code of the
current course; choose <em>Course Code</em>, type a code you were given and press
<kbd>Enter</kbd> to play exactly the same levels. <em>New Course</em> makes a new random
course.</p>
<p><em>Restart</em> during a course disqualifies the result: the course is then shown as
<em>Course Restarted * No Share Code</em>. <em>Retry Course</em> on the
<em>Course Over</em> page plays the same course again from the start.</p>)"},

    {"network", "Network play",
     R"(<ol>
<li>One player chooses <em>Mode [War Net]</em>, <em>Play</em>, then <em>Host</em>. The game
listens on UDP port <code>30035</code>; let it through any firewall.</li>
<li>The others type the host's address under <em>Host Address</em> and choose
<em>Connect</em>. The game waits up to five seconds for the host.</li>
<li>Everybody's <em>Name</em> shows in the corners and in the lobby's chat. In the lobby
<kbd>Enter</kbd> opens a chat line and <kbd>Enter</kbd> sends it; <kbd>Space</kbd> or
<kbd>Escape</kbd> toggles ready.</li>
<li>When the three guests are ready the host is told so and starts the round with its
own <kbd>Space</kbd>. After each round everyone is back in the lobby and readies again.</li>
</ol>
<p>All four games must carry the same version; a game of another version is turned away.</p>)"},

    {"settings", "Settings",
     R"(<p>Window size, volumes, the options above, your name and the host address are kept in
<code>settings.cfg</code>, rewritten safely after every change in the menu. An installed
game keeps it in <code>~/.config/frothlet/</code> (or <code>$XDG_CONFIG_HOME/frothlet/</code>);
a game started from a folder that holds <code>resources/</code> keeps it in that folder.
Delete the file to go back to the defaults.</p>)"},
};

std::string helpPage()
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Frothlet help</title>\n<style>";
    html += style;
    html += "</style>\n</head>\n<body>\n<h1>Frothlet</h1>\n<p>Bubbles, microbes and chain reactions.</p>\n<nav>";
    for (const Section& s : sections)
        html += std::string("<a href=\"#") + s.id + "\">" + s.title + "</a>";
    html += "</nav>\n";
    for (const Section& s : sections)
        html += std::string("<h2 id=\"") + s.id + "\">" + s.title + "</h2>\n" + s.body + "\n";
    html += std::string("<footer>Frothlet ") + FROTHLET_VERSION + "</footer>\n</body>\n</html>\n";
    return html;
}

}  // namespace

namespace resgen {

bool writeHelp(const std::string& dir)
{
    const std::string path = dir + "help.html";
    std::ofstream file(path, std::ios::binary);
    file << helpPage();
    if (file.flush())
        return true;
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace resgen
