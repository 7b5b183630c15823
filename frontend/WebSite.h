// The maker's web site: the message of the day and the latest version number
// fetched while the title is built, and the help, newsletter and update pages
// the menu opens in the browser.
//
// The host is a build setting (FROTHLET_SITE_HOST), empty by default: with no
// site the fetches and the pages are skipped quietly, just as a failed fetch
// looks to the player. The fetch functions take the host, port and path, so
// tests point them at a server of their own on 127.0.0.1.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct GameContext;

namespace web {

struct FetchTarget {
    std::string host;
    unsigned short port = 80;
    std::string path;
    // A request that has not connected by then counts as failed.
    std::chrono::milliseconds timeout{2500};
    // Nor does the whole exchange wait longer than this for the answer.
    std::chrono::milliseconds answerTimeout{10000};
};

// The configured site's host; empty when the game was built without one.
std::string siteHost();
// The name that signs the message of the day.
extern const char* const siteName;

// The address of a page of the site for the browser, or empty with no site.
std::string pageUrl(const std::string& path);
// Opens a page of the site in the browser; nothing happens without a site.
void openPage(const std::string& path);

// The site's help page; without a site the help page the game carries in its
// data directory, so "Help" works offline. Empty when there is neither.
std::string helpUrl(const std::string& resourceDir);
void openHelp(const std::string& resourceDir);
// The "file://" address of a local file, made absolute, every byte other
// than letters, digits, "-._~" and "/" percent-encoded.
std::string fileUrl(const std::string& path);
// The help page's file name in the data directory.
extern const char* const helpFileName;

// A GET request (HTTP/1.0). Answers the body when the status is 200, nothing
// otherwise, and nothing when the site does not answer in time.
std::optional<std::string> fetch(const FetchTarget& target);

// "A Message from <site>:" and a blank line before the fetched text.
std::string messageOfTheDay(const std::string& body);
// The version token with every trailing newline, return, tab and NUL removed.
std::string versionFromBody(const std::string& body);

// The version check, once per title step: once a latest version has been
// fetched it goes to the context, is emptied, and the menu offers "Update"
// when it differs from ours. Answers whether a check took place.
bool checkVersion(GameContext& ctx, std::string& fetchedVersion);

// Thread bodies: each fills its own string when its fetch succeeds and
// leaves it unchanged otherwise.
void Task(std::string* message, const FetchTarget& target);
void TaskVer(std::string* latestVersion, const FetchTarget& target);

// The two start-up fetches, each on its own thread. The constructor starts
// both; `waitUntil` waits for them at most until the deadline, so a site
// that never answers can't hold the start of the game. A result that comes
// later is handed over by `takeMessage` / `takeLatestVersion`, safely.
class StartupFetches {
public:
    StartupFetches(const FetchTarget& motd, const FetchTarget& version);
    ~StartupFetches();
    StartupFetches(const StartupFetches&) = delete;
    StartupFetches& operator=(const StartupFetches&) = delete;

    // True when both fetches have finished (answered or failed) in time.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);
    // Each answers a result once, as soon as it is there; then empty again.
    std::string takeMessage();
    std::string takeLatestVersion();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable finished;
        int running = 0;
        std::string message;
        std::string latestVersion;
    };
    std::shared_ptr<Shared> m_shared;
};

// The two default targets: "demomotd.txt" and "demo.txt" on the site.
FetchTarget messageTarget();
FetchTarget versionTarget();

// The longest the start of the game waits for both fetches together.
constexpr std::chrono::seconds startupFetchBudget{3};

}  // namespace web
