#include "frontend/WebSite.h"

#include <thread>
#include <utility>

#include <SFML/Network/Http.hpp>

#include "app/GameContext.h"
#include "app/platform.h"

#ifndef FROTHLET_SITE_HOST
#define FROTHLET_SITE_HOST ""
#endif

namespace web {

const char* const siteName = "Ombrelux";

std::string siteHost()
{
    return FROTHLET_SITE_HOST;
}

std::string pageUrl(const std::string& path)
{
    const std::string host = siteHost();
    if (host.empty())
        return {};
    return "http://" + host + path;
}

void openPage(const std::string& path)
{
    const std::string url = pageUrl(path);
    if (!url.empty())
        platform::openUrl(url);
}

std::optional<std::string> fetch(const FetchTarget& target)
{
    if (target.host.empty())
        return std::nullopt;
    sf::Http http(target.host, target.port);
    const sf::Http::Request request(target.path, sf::Http::Request::Get);
    const sf::Http::Response response =
        http.sendRequest(request, sf::milliseconds(static_cast<sf::Int32>(target.timeout.count())));
    if (response.getStatus() != sf::Http::Response::Ok)
        return std::nullopt;
    return response.getBody();
}

std::string messageOfTheDay(const std::string& body)
{
    return std::string("A Message from ") + siteName + ":\n\n" + body;
}

std::string versionFromBody(const std::string& body)
{
    std::string version = body;
    while (!version.empty()) {
        const char last = version.back();
        if (last != '\n' && last != '\r' && last != '\t' && last != '\0')
            break;
        version.pop_back();
    }
    return version;
}

bool checkVersion(GameContext& ctx, std::string& fetchedVersion)
{
    if (fetchedVersion.empty())
        return false;
    ctx.latestVersion = fetchedVersion;
    fetchedVersion.clear();
    ctx.newerVersionAvailable = ctx.localVersion != ctx.latestVersion;
    return true;
}

void Task(std::string* message, const FetchTarget& target)
{
    if (const auto body = fetch(target))
        *message = messageOfTheDay(*body);
}

void TaskVer(std::string* latestVersion, const FetchTarget& target)
{
    if (const auto body = fetch(target))
        *latestVersion = versionFromBody(*body);
}

FetchTarget messageTarget()
{
    return {siteHost(), 80, "/demomotd.txt"};
}

FetchTarget versionTarget()
{
    return {siteHost(), 80, "/demo.txt"};
}

StartupFetches::StartupFetches(const FetchTarget& motd, const FetchTarget& version)
    : m_shared(std::make_shared<Shared>())
{
    // Each thread keeps the shared results alive, so one that answers after
    // the title has stopped waiting (or is gone) still writes somewhere safe.
    using Body = void (*)(std::string*, const FetchTarget&);
    const auto start = [this](Body body, FetchTarget target, std::string Shared::*slot) {
        if (target.host.empty())
            return;
        {
            const std::lock_guard lock(m_shared->mutex);
            ++m_shared->running;
        }
        std::thread([shared = m_shared, body, target = std::move(target), slot] {
            std::string result;
            body(&result, target);
            const std::lock_guard lock(shared->mutex);
            (*shared).*slot = std::move(result);
            --shared->running;
            shared->finished.notify_all();
        }).detach();
    };
    start(&Task, motd, &Shared::message);
    start(&TaskVer, version, &Shared::latestVersion);
}

StartupFetches::~StartupFetches() = default;

bool StartupFetches::waitUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_shared->mutex);
    return m_shared->finished.wait_until(lock, deadline, [&] { return m_shared->running == 0; });
}

std::string StartupFetches::takeMessage()
{
    const std::lock_guard lock(m_shared->mutex);
    return std::exchange(m_shared->message, {});
}

std::string StartupFetches::takeLatestVersion()
{
    const std::lock_guard lock(m_shared->mutex);
    return std::exchange(m_shared->latestVersion, {});
}

}  // namespace web
