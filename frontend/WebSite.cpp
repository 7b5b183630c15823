#include "frontend/WebSite.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include <SFML/Network/IpAddress.hpp>
#include <SFML/Network/SocketSelector.hpp>
#include <SFML/Network/TcpSocket.hpp>

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

const char* const helpFileName = "help.html";

std::string fileUrl(const std::string& path)
{
    std::error_code ignored;
    const std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char ch : absolute) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (letterOrDigit || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url += ch;
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::string helpUrl(const std::string& resourceDir)
{
    if (!siteHost().empty())
        return pageUrl("/frothlet/help.php");
    const std::string page = resourceDir + helpFileName;
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(page, ignored))
        return {};
    return fileUrl(page);
}

void openHelp(const std::string& resourceDir)
{
    const std::string url = helpUrl(resourceDir);
    if (!url.empty())
        platform::openUrl(url);
}

namespace {

// Bigger answers than this are not a message of the day or a version.
constexpr std::size_t largestAnswer = 1 << 20;

sf::Time until(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return sf::milliseconds(static_cast<sf::Int32>(std::max<std::int64_t>(left.count(), 0)));
}

// The body of an HTTP answer whose status is 200.
std::optional<std::string> okBody(const std::string& answer)
{
    const std::size_t headerEnd = answer.find("\r\n\r\n");
    const std::size_t space = answer.find(' ');
    if (answer.rfind("HTTP/", 0) != 0 || headerEnd == std::string::npos || space == std::string::npos ||
        answer.compare(space + 1, 3, "200") != 0)
        return std::nullopt;
    std::string body = answer.substr(headerEnd + 4);
    // Honour a Content-Length when there is one.
    std::string headers = answer.substr(0, headerEnd);
    std::transform(headers.begin(), headers.end(), headers.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t length = headers.find("\r\ncontent-length:");
    if (length != std::string::npos) {
        const unsigned long long n = std::strtoull(headers.c_str() + length + 17, nullptr, 10);
        if (n < body.size())
            body.resize(static_cast<std::size_t>(n));
    }
    return body;
}

}  // namespace

std::optional<std::string> fetch(const FetchTarget& target)
{
    if (target.host.empty())
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + target.answerTimeout;
    const sf::IpAddress address(target.host);
    if (address == sf::IpAddress::None)
        return std::nullopt;
    sf::TcpSocket socket;
    if (socket.connect(address, target.port, sf::milliseconds(static_cast<sf::Int32>(target.timeout.count()))) !=
        sf::Socket::Done)
        return std::nullopt;
    const std::string request = "GET " + target.path + " HTTP/1.0\r\nHost: " + target.host +
                                "\r\nUser-Agent: Frothlet\r\nConnection: close\r\n\r\n";
    if (socket.send(request.data(), request.size()) != sf::Socket::Done)
        return std::nullopt;

    // Read until the site closes the connection, never past the deadline.
    sf::SocketSelector selector;
    selector.add(socket);
    std::string answer;
    char buffer[4096];
    for (;;) {
        const sf::Time left = until(deadline);
        if (left == sf::Time::Zero || !selector.wait(left))
            return std::nullopt;
        std::size_t received = 0;
        const sf::Socket::Status status = socket.receive(buffer, sizeof buffer, received);
        if (status == sf::Socket::Disconnected)
            break;
        if (status != sf::Socket::Done)
            return std::nullopt;
        answer.append(buffer, received);
        if (answer.size() > largestAnswer)
            return std::nullopt;
    }
    return okBody(answer);
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
