// The title's two web fetches against a small HTTP server of the test's own
// on 127.0.0.1: what the message of the day and the version check make of
// the answers, and that a site that never answers can't hold the start.
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Network/IpAddress.hpp>
#include <SFML/Network/SocketSelector.hpp>
#include <SFML/Network/TcpListener.hpp>
#include <SFML/Network/TcpSocket.hpp>
#include <gtest/gtest.h>

#include "app/GameContext.h"
#include "frontend/WebSite.h"

namespace {

using namespace std::chrono_literals;

// Answers GET requests from a table of paths on a free loopback port. A
// held server reads requests but answers none until it is released.
class TinyHttpServer {
public:
    struct Page {
        int status = 200;
        std::string body;
    };

    explicit TinyHttpServer(std::map<std::string, Page> pages, bool held = false)
        : m_pages(std::move(pages)), m_released(!held)
    {
        m_listening = m_listener.listen(sf::Socket::AnyPort, sf::IpAddress::LocalHost) == sf::Socket::Done;
        m_selector.add(m_listener);
        m_thread = std::thread([this] { serve(); });
    }

    ~TinyHttpServer()
    {
        m_stop = true;
        m_thread.join();
    }

    bool listening() const { return m_listening; }
    unsigned short port() const { return m_listener.getLocalPort(); }
    void release() { m_released = true; }

    web::FetchTarget target(const std::string& path) const
    {
        return {"127.0.0.1", port(), path, std::chrono::milliseconds(2500)};
    }

    std::vector<std::string> requestedPaths()
    {
        const std::lock_guard lock(m_mutex);
        return m_paths;
    }

private:
    struct Client {
        std::unique_ptr<sf::TcpSocket> socket;
        std::string request;
        bool answered = false;
    };

    void serve()
    {
        // Bounded: a test server never outlives its test by much.
        const auto giveUp = std::chrono::steady_clock::now() + 30s;
        while (!m_stop && std::chrono::steady_clock::now() < giveUp) {
            if (m_selector.wait(sf::milliseconds(20)))
                readReady();
            if (m_released)
                answerAll();
        }
        for (Client& client : m_clients)
            client.socket->disconnect();
    }

    void readReady()
    {
        if (m_selector.isReady(m_listener)) {
            auto socket = std::make_unique<sf::TcpSocket>();
            if (m_listener.accept(*socket) == sf::Socket::Done) {
                m_selector.add(*socket);
                m_clients.push_back({std::move(socket), {}, false});
            }
        }
        for (Client& client : m_clients) {
            if (client.answered || !m_selector.isReady(*client.socket))
                continue;
            char buffer[1024];
            std::size_t received = 0;
            if (client.socket->receive(buffer, sizeof buffer, received) == sf::Socket::Done)
                client.request.append(buffer, received);
        }
    }

    void answerAll()
    {
        for (Client& client : m_clients) {
            if (client.answered || client.request.find("\r\n\r\n") == std::string::npos)
                continue;
            const std::string line = client.request.substr(0, client.request.find("\r\n"));
            const std::string path = line.substr(4, line.rfind(' ') - 4);
            {
                const std::lock_guard lock(m_mutex);
                m_paths.push_back(path);
            }
            const auto found = m_pages.find(path);
            const Page page = found != m_pages.end() ? found->second : Page{404, "not here"};
            const std::string answer = "HTTP/1.0 " + std::to_string(page.status) + " Whatever\r\n" +
                                       "Content-Length: " + std::to_string(page.body.size()) +
                                       "\r\nConnection: close\r\n\r\n" + page.body;
            client.socket->send(answer.data(), answer.size());
            m_selector.remove(*client.socket);
            client.socket->disconnect();
            client.answered = true;
        }
    }

    std::map<std::string, Page> m_pages;
    std::atomic<bool> m_released;
    std::atomic<bool> m_stop{false};
    bool m_listening = false;
    sf::TcpListener m_listener;
    sf::SocketSelector m_selector;
    std::vector<Client> m_clients;
    std::mutex m_mutex;
    std::vector<std::string> m_paths;
    std::thread m_thread;
};

struct VersionCase {
    const char* body;
    const char* latest;
    bool checked;
    bool newer;
};

class VersionCheckTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCheckTest, FetchedVersionDecidesTheUpdateItem)
{
    const VersionCase c = GetParam();
    TinyHttpServer server({{"/demo.txt", {200, c.body}}});
    ASSERT_TRUE(server.listening());
    std::string fetched;
    web::TaskVer(&fetched, server.target("/demo.txt"));
    EXPECT_EQ(fetched, c.latest);

    GameContext ctx;
    EXPECT_EQ(web::checkVersion(ctx, fetched), c.checked);
    EXPECT_EQ(ctx.newerVersionAvailable, c.newer);
    EXPECT_EQ(fetched, "") << "the check runs once";
    EXPECT_EQ(ctx.latestVersion, c.latest);
    EXPECT_EQ(server.requestedPaths(), std::vector<std::string>{"/demo.txt"});
}

INSTANTIATE_TEST_SUITE_P(Bodies, VersionCheckTest,
                         ::testing::Values(VersionCase{"demo2\r\n", "demo2", true, true},
                                           VersionCase{"demo1\n", "demo1", true, false},
                                           VersionCase{"\n\n\n", "", false, false},
                                           VersionCase{"demo3\t\r\n\n", "demo3", true, true}));

TEST(TitleFetch, MessageOfTheDayIsSignedBySite)
{
    TinyHttpServer server({{"/demomotd.txt", {200, "Fresh microbes this week!"}}});
    ASSERT_TRUE(server.listening());
    std::string message;
    web::Task(&message, server.target("/demomotd.txt"));
    EXPECT_EQ(message, "A Message from Ombrelux:\n\nFresh microbes this week!");
}

TEST(TitleFetch, AnswersOtherThanOkLeaveTheTextsEmpty)
{
    TinyHttpServer server({{"/demo.txt", {404, "demo9"}}, {"/demomotd.txt", {500, "oops"}}});
    ASSERT_TRUE(server.listening());
    std::string message;
    std::string latest;
    web::Task(&message, server.target("/demomotd.txt"));
    web::TaskVer(&latest, server.target("/demo.txt"));
    EXPECT_EQ(message, "");
    EXPECT_EQ(latest, "");
}

TEST(TitleFetch, NoServerListeningFailsQuietly)
{
    unsigned short freePort = 0;
    {
        sf::TcpListener probe;
        ASSERT_EQ(probe.listen(sf::Socket::AnyPort, sf::IpAddress::LocalHost), sf::Socket::Done);
        freePort = probe.getLocalPort();
    }
    std::string latest;
    web::TaskVer(&latest, {"127.0.0.1", freePort, "/demo.txt", std::chrono::milliseconds(1000)});
    EXPECT_EQ(latest, "");
}

TEST(TitleFetch, BothStartupFetchesRunTogether)
{
    TinyHttpServer server({{"/demomotd.txt", {200, "hello"}}, {"/demo.txt", {200, "demo2\n"}}});
    ASSERT_TRUE(server.listening());
    web::StartupFetches fetches(server.target("/demomotd.txt"), server.target("/demo.txt"));
    EXPECT_TRUE(fetches.waitUntil(std::chrono::steady_clock::now() + 20s));
    EXPECT_EQ(fetches.takeMessage(), "A Message from Ombrelux:\n\nhello");
    EXPECT_EQ(fetches.takeLatestVersion(), "demo2");
    EXPECT_EQ(fetches.takeLatestVersion(), "") << "each result is handed over once";
}

// A site that takes the request and never answers holds the start of the
// game for the budget at most; its answer, if it ever comes, still arrives.
TEST(TitleFetch, SilentSiteCannotHoldTheStart)
{
    TinyHttpServer server({{"/demomotd.txt", {200, "late news"}}, {"/demo.txt", {200, "demo5"}}},
                          true);
    ASSERT_TRUE(server.listening());
    const auto start = std::chrono::steady_clock::now();
    web::StartupFetches fetches(server.target("/demomotd.txt"), server.target("/demo.txt"));
    EXPECT_FALSE(fetches.waitUntil(start + web::startupFetchBudget));
    EXPECT_LT(std::chrono::steady_clock::now() - start, web::startupFetchBudget + 1s);
    EXPECT_EQ(fetches.takeLatestVersion(), "");

    server.release();
    EXPECT_TRUE(fetches.waitUntil(std::chrono::steady_clock::now() + 20s));
    EXPECT_EQ(fetches.takeLatestVersion(), "demo5");
    EXPECT_EQ(fetches.takeMessage(), "A Message from Ombrelux:\n\nlate news");
}

// A site that takes the request and then keeps quiet is given up on, so no
// fetch thread waits on it for ever.
TEST(TitleFetch, SiteThatNeverAnswersIsGivenUp)
{
    TinyHttpServer server({{"/demo.txt", {200, "demo5"}}}, true);
    ASSERT_TRUE(server.listening());
    web::FetchTarget target = server.target("/demo.txt");
    target.answerTimeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(web::fetch(target), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "long before the server itself gives up";
}

TEST(TitleFetch, WithoutASiteNothingIsFetchedOrOpened)
{
    web::StartupFetches fetches({"", 80, "/demomotd.txt"}, {"", 80, "/demo.txt"});
    EXPECT_TRUE(fetches.waitUntil(std::chrono::steady_clock::now()));
    EXPECT_EQ(fetches.takeMessage(), "");
    std::string latest;
    web::TaskVer(&latest, {"", 80, "/demo.txt"});
    EXPECT_EQ(latest, "");
    if (web::siteHost().empty())
        EXPECT_EQ(web::pageUrl("/frothlet/help.php"), "");
    else
        EXPECT_EQ(web::pageUrl("/signup.php"), "http://" + web::siteHost() + "/signup.php");
}

}  // namespace
