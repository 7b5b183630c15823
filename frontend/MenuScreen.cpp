#include "frontend/MenuScreen.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/Window/Event.hpp>

#include "app/GameContext.h"
#include "app/Viewport.h"
#include "app/platform.h"
#include "gfx/GraphicsResources.h"
#include "screens/FieldDrawing.h"
#include "screens/SymbolDrawing.h"
#include "world/Microbe.h"
#include "world/MicrobeTypes.h"

namespace {

constexpr double stepSeconds = 1.0 / 60.0;
constexpr double longestFrame = 0.25;

// The frosted card the items sit on, so the dark item text reads on the
// dark slide.
const sf::Color cardColour(222, 234, 232, 222);
const sf::Color cardEdge(255, 255, 255, 70);
const sf::Color titleBand(24, 78, 88, 240);
const sf::Color titleText(236, 248, 246, 255);
const sf::Color itemText(64, 64, 64, 255);
const sf::Color valueText(22, 96, 108, 255);
const sf::Color hoverBar(42, 140, 150, 235);
const sf::Color hoverText(255, 255, 255, 255);
const sf::Color descriptionText(250, 250, 108, 235);
const sf::Color panelText(236, 244, 242, 255);
const sf::Color shade(6, 18, 22, 165);

constexpr float cardLeft = 100.f;
constexpr float cardWidth = 330.f;

sf::Color typeColour(int type)
{
    Microbe microbe;
    setType(microbe, type);
    return microbe.color;
}

void drawShade(sf::RenderTarget& target, sf::FloatRect box)
{
    sf::RectangleShape back({box.width, box.height});
    back.setPosition(box.left, box.top);
    back.setFillColor(shade);
    target.draw(back);
}

}  // namespace

screen_1::screen_1(GameContext& ctx) : menu(ctx), m_ctx(&ctx)
{
    std::fputs("Constructing Screen 1\n", stdout);
    std::fflush(stdout);
    ctx.course.generateRandom(Course::defaultRounds);
}

int screen_1::Run(GraphicsResources& gfx, GameContext& ctx)
{
    sf::RenderWindow& window = *ctx.window;
    // The menu is worked with the mouse: never keep the pointer caught.
    window.setMouseCursorVisible(true);
    platform::lockPointer(window, false);
    m_text.setFont(gfx.font);
    m_clock.restart();
    while (window.isOpen()) {
        sf::Event event;
        while (window.pollEvent(event)) {
            const int next = handleEvent(event, ctx);
            if (next != Menu::stay)
                return next;
        }
        const int next = update(ctx);
        if (next != Menu::stay)
            return next;
        draw(window, gfx, ctx);
        window.display();
    }
    return -1;
}

int screen_1::handleEvent(const sf::Event& event, GameContext& ctx)
{
    switch (event.type) {
    case sf::Event::Closed:
        return menu.closed();
    case sf::Event::MouseMoved: {
        const sf::Vector2u size = ctx.window->getSize();
        const sf::Vector2i p = windowToLogical(event.mouseMove.x, event.mouseMove.y,
                                               static_cast<int>(size.x), static_cast<int>(size.y),
                                               ctx.viewport);
        menu.pointerMoved(p.x, p.y);
        break;
    }
    case sf::Event::TextEntered:
        if (menu.editor.active())
            menu.typed(event.text.unicode);
        break;
    case sf::Event::MouseButtonPressed:
        if (event.mouseButton.button == sf::Mouse::Left || event.mouseButton.button == sf::Mouse::Right)
            return menu.click(event.mouseButton.button == sf::Mouse::Left);
        break;
    default:
        break;
    }
    return Menu::stay;
}

int screen_1::update(GameContext& ctx)
{
    m_accumulator += std::min(static_cast<double>(m_clock.restart().asSeconds()), longestFrame);
    while (m_accumulator >= stepSeconds) {
        m_accumulator -= stepSeconds;
        const Menu::StepResult result = menu.step();
        if (result.becameInteractive) {
            ctx.window->setMouseCursorVisible(true);
            platform::lockPointer(*ctx.window, false);
        }
        if (result.startMode != Menu::stay) {
            platform::lockPointer(*ctx.window, ctx.settings.lockMouse);
            ctx.window->setMouseCursorVisible(ctx.settings.showMouse);
            return result.startMode;
        }
    }
    return Menu::stay;
}

void screen_1::draw(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    target.clear(sf::Color::Black);
    sf::View view(sf::FloatRect(0.f, 0.f, 1024.f, 768.f));
    view.setViewport(ctx.viewport.width > 0.f ? ctx.viewport : sf::FloatRect(0.f, 0.f, 1.f, 1.f));
    target.setView(view);
    draw::background(target, gfx);
    m_batches.setSmoothEdges(gfx.smoothEdges);
    draw::particles(target, menu.particles, m_batches);
    drawItems(target, gfx);
    if (menu.state == MenuState::Interactive)
        drawDescription(target, gfx);
    if (menu.showsCoursePanel())
        drawCoursePanel(target, gfx, ctx);
    if (menu.showsCleanPanel())
        drawCleanPanel(target, gfx, ctx);
    drawFade(target);
}

void screen_1::drawItems(sf::RenderTarget& target, GraphicsResources& gfx)
{
    const MenuPage& page = menu.currentPage();
    const float slide = menu.slideOffset();
    int lastShown = 0;
    for (int i = 0; i < static_cast<int>(page.size()); ++i)
        if (menu.itemShown(i))
            lastShown = i;

    const float top = menuLayout::itemY(0) - 14.f;
    drawCard(target, {cardLeft + slide, top, cardWidth, menuLayout::itemY(lastShown) + 50.f - top});
    sf::RectangleShape band({cardWidth, 54.f});
    band.setPosition(cardLeft + slide, top);
    band.setFillColor(titleBand);
    target.draw(band);

    m_text.setFont(gfx.font);
    m_text.setCharacterSize(menuLayout::itemCharacterSize);
    for (int i = 0; i < static_cast<int>(page.size()); ++i)
        if (menu.itemShown(i))
            drawItem(target, i, slide);

    if (menu.page == PageUpgrade) {
        const float y = menuLayout::itemY(lastShown + 1);
        drawCard(target, {cardLeft + slide, y - 22.f, cardWidth, 40.f});
        m_text.setString(menu.coinsLine());
        m_text.setFillColor(valueText);
        m_text.setPosition(menuLayout::itemX + slide, y - 16.f);
        target.draw(m_text);
    }
}

void screen_1::drawCard(sf::RenderTarget& target, sf::FloatRect box)
{
    sf::RectangleShape card({box.width, box.height});
    card.setPosition(box.left, box.top);
    card.setFillColor(cardColour);
    card.setOutlineColor(cardEdge);
    card.setOutlineThickness(2.f);
    target.draw(card);
}

void screen_1::drawItem(sf::RenderTarget& target, int i, float slide)
{
    const bool hovered = i == menu.hovered && i != 0;
    const float y = menuLayout::itemY(i);
    if (hovered) {
        sf::RectangleShape bar({static_cast<float>(menuLayout::hoverRight - menuLayout::hoverLeft),
                                menuLayout::hoverHeight});
        // Set a little higher than the hover box so the label sits in its middle.
        bar.setPosition(static_cast<float>(menuLayout::hoverLeft) + slide, y - 3.f);
        bar.setFillColor(hoverBar);
        target.draw(bar);
    }
    const std::string label = menu.labelOf(i);
    m_text.setString(label);
    m_text.setFillColor(i == 0 ? titleText : hovered ? hoverText : itemText);
    m_text.setPosition(menuLayout::itemX + slide, y);
    target.draw(m_text);

    std::string value = menu.valueOf(i);
    const bool typing = menu.editor.active() && i == menu.hovered;
    if (typing)
        value += (m_clock.getElapsedTime().asMilliseconds() / 400) % 2 == 0 ? "_" : " ";
    if (value.empty())
        return;
    // The value follows its label; a label without ": " gets room for its bar.
    const float labelEnd = m_text.findCharacterPos(label.size()).x;
    m_text.setString(value);
    m_text.setFillColor(hovered ? hoverText : valueText);
    m_text.setPosition(labelEnd + (!label.empty() && label.back() == ' ' ? 2.f : 14.f), y);
    target.draw(m_text);
}

void screen_1::drawDescription(sf::RenderTarget& target, GraphicsResources& gfx)
{
    const sf::String description = menu.descriptionOf(menu.hovered);
    if (description.isEmpty())
        return;
    m_text.setFont(gfx.font);
    m_text.setCharacterSize(17);
    m_text.setString(description);
    m_text.setFillColor(descriptionText);
    m_text.setPosition(menuLayout::descriptionX, menuLayout::descriptionY);
    const sf::FloatRect bounds = m_text.getGlobalBounds();
    drawShade(target, {bounds.left - 12.f, bounds.top - 10.f, bounds.width + 24.f, bounds.height + 20.f});
    target.draw(m_text);
}

void screen_1::drawCoursePanel(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    const Course& course = ctx.course;
    drawShade(target, {528.f, 226.f, 484.f, 466.f});
    m_text.setFont(gfx.font);
    m_text.setFillColor(panelText);
    const std::string daily = course.dailyDate();
    if (!daily.empty()) {
        // The day's course is titled above the panel, its best result below.
        drawShade(target, {528.f, 190.f, 484.f, 34.f});
        m_text.setCharacterSize(20);
        m_text.setString("Daily Course " + daily);
        m_text.setPosition(540.f, 195.f);
        target.draw(m_text);
        drawShade(target, {528.f, 694.f, 484.f, 32.f});
        m_text.setCharacterSize(17);
        m_text.setString(menu.dailyBestLine());
        m_text.setPosition(540.f, 699.f);
        target.draw(m_text);
    }
    m_text.setCharacterSize(18);
    m_text.setString(course.restarted ? "Course Restarted * No Share Code" : "Course Code: " + course.code());
    m_text.setPosition(540.f, 236.f);
    target.draw(m_text);

    sf::VertexArray symbols(sf::Triangles);
    const int rows = std::max(1, static_cast<int>(course.levels.size()));
    const float rowHeight = std::min(36.f, 350.f / static_cast<float>(rows));
    const float radius = std::min(5.f, rowHeight / 3.f);
    m_text.setCharacterSize(static_cast<unsigned>(std::clamp(rowHeight - 10.f, 6.f, 16.f)));
    for (int row = 0; row < static_cast<int>(course.levels.size()); ++row) {
        const float y = 272.f + rowHeight * static_cast<float>(row);
        if (row == course.currentLevel) {
            sf::RectangleShape mark({472.f, rowHeight - 2.f});
            mark.setPosition(534.f, y);
            mark.setFillColor(sf::Color(42, 140, 150, 120));
            target.draw(mark);
        }
        float x = 546.f;
        for (const MicrobeGroup& group : course.levels[static_cast<std::size_t>(row)]) {
            sf::CircleShape dot(radius, 16);
            dot.setFillColor(typeColour(group.type));
            for (int k = 0; k < group.count; ++k, x += radius * 2.f + 3.f) {
                dot.setPosition(x, y + rowHeight / 2.f - radius - 1.f);
                target.draw(dot);
                if (ctx.settings.symbols)
                    draw::addSymbol(symbols, group.type, {x + radius, y + rowHeight / 2.f - 1.f}, radius,
                                    draw::symbolOnDot);
            }
        }
        if (row < static_cast<int>(course.levelThrows.size())) {
            const auto at = static_cast<std::size_t>(row);
            m_text.setString(std::to_string(course.levelThrows[at]));
            m_text.setPosition(880.f, y);
            target.draw(m_text);
            m_text.setString(course.restarted ? "*" : std::to_string(course.levelPoints[at]));
            m_text.setPosition(930.f, y);
            target.draw(m_text);
        }
    }

    target.draw(symbols);

    int throws = 0;
    int points = 0;
    for (int t : course.levelThrows)
        throws += t;
    for (int p : course.levelPoints)
        points += p;
    m_text.setCharacterSize(18);
    m_text.setString("Total Throws: " + std::to_string(throws));
    m_text.setPosition(540.f, 635.f);
    target.draw(m_text);
    m_text.setString("Points: " + (course.restarted ? std::string("0 (restarted)") : std::to_string(points)));
    m_text.setPosition(540.f, 660.f);
    target.draw(m_text);
}

void screen_1::drawCleanPanel(sf::RenderTarget& target, GraphicsResources& gfx, GameContext& ctx)
{
    drawShade(target, {568.f, 218.f, 428.f, 336.f});
    if (ctx.dirtLayer.getSize().x > 0) {
        sf::Sprite preview(ctx.dirtLayer.getTexture());
        preview.setScale(0.4f, 0.4f);
        preview.setPosition(580.f, 230.f);
        target.draw(preview);
    }
    std::ostringstream cleaned;
    cleaned << ctx.cleanedPercent << "% Cleaned";
    m_text.setFont(gfx.font);
    m_text.setFillColor(panelText);
    m_text.setCharacterSize(18);
    m_text.setString(cleaned.str());
    m_text.setPosition(580.f, 490.f);
    target.draw(m_text);
    m_text.setString(std::to_string(ctx.throwCount) + " Throws");
    m_text.setPosition(580.f, 515.f);
    target.draw(m_text);
}

void screen_1::drawFade(sf::RenderTarget& target)
{
    if (menu.fade <= 0)
        return;
    sf::RectangleShape veil({1024.f, 768.f});
    veil.setFillColor(sf::Color(0, 0, 0, static_cast<sf::Uint8>(std::min(menu.fade, 255))));
    target.draw(veil);
}
