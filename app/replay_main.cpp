// frothlet-replay FILE: plays a recorded round again without a window and
// says whether it still comes out as it was played.
//   "replay ok SCORE"            every level matched; exit 0
//   "replay diverged at step N"  the field first differed after step N of
//                                the recording, counted over all its levels; exit 1
// A file that is not a sound replay of this game version is refused with the
// game's one line for it; exit 1.
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "app/GameContext.h"
#include "screens/RoundReplay.h"
#include "world/Recording.h"

namespace {

// The field reports its progress on standard output as it plays; while the
// replay runs those lines go nowhere, so that the verdict stands alone.
class QuietStdout {
public:
    QuietStdout()
    {
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (sink >= 0) {
            ::dup2(sink, STDOUT_FILENO);
            ::close(sink);
        }
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved = -1;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: frothlet-replay FILE\n", stderr);
        return 2;
    }
    std::optional<replay::Recording> recording;
    replay::Verdict verdict;
    {
        QuietStdout quiet;
        const std::string version = GameContext().localVersion;
        if (const std::optional<std::string> bytes = replay::readFile(argv[1]))
            recording = replay::decode(*bytes, version);
        if (recording)
            verdict = replay::verify(*recording);
    }
    if (!recording) {
        std::fputs(replay::refusedLine, stdout);
        return 1;
    }
    if (verdict.ok) {
        std::printf("replay ok %lld\n", static_cast<long long>(verdict.score));
        return 0;
    }
    std::uint64_t step = verdict.divergedAt;
    for (std::size_t i = 0; i < verdict.level; ++i)
        step += recording->levels[i].steps.size();
    if (recording->levels.size() > 1)
        std::fprintf(stderr, "level %zu of %zu\n", verdict.level + 1, recording->levels.size());
    std::printf("replay diverged at step %llu\n", static_cast<unsigned long long>(step));
    return 1;
}
