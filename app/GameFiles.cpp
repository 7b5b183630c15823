#include "app/GameFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const gameName = "frothlet";
// Where an install keeps the data, seen from the executable's directory.
const char* const installedResources = "../share/frothlet/resources";

bool isDirectory(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

std::string withSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }

    // Closing can report a write that failed late (on some file systems).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// True only once the text is on the disk, not merely in the page cache.
bool writeDurably(const std::string& path, const std::string& text)
{
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    return file.valid() && writeAll(file.get(), text) && ::fsync(file.get()) == 0 && file.close();
}

fs::path directoryOf(const std::string& path)
{
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

// Makes the rename itself survive a power cut. Failing here is harmless:
// the new file is already in place for this run.
void syncDirectory(const fs::path& directory)
{
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// Creates the missing directories of `directory`, each readable by the
// player alone, as the desktop's rules for config directories ask.
void makeDirectories(const fs::path& directory)
{
    if (directory.empty() || isDirectory(directory))
        return;
    makeDirectories(directory.parent_path());
    ::mkdir(directory.c_str(), 0700);
}

}  // namespace

std::string configDirectory(const char* xdgConfigHome, const char* home)
{
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        return withSlash((fs::path(xdgConfigHome) / gameName).string());
    if (home != nullptr && home[0] == '/')
        return withSlash((fs::path(home) / ".config" / gameName).string());
    return {};
}

GameFileLocations locateGameFiles(const fs::path& workingDir, const fs::path& executable,
                                  const char* xdgConfigHome, const char* home)
{
    GameFileLocations found;
    if (isDirectory(workingDir / "resources"))
        return found;
    if (executable.empty())
        return found;
    const fs::path data = (executable.parent_path() / installedResources).lexically_normal();
    if (!isDirectory(data))
        return found;  // neither: look in the working directory, as before
    found.resourceDir = withSlash(data.string());
    found.writeDir = configDirectory(xdgConfigHome, home);
    found.installed = true;
    return found;
}

GameFileLocations locateGameFiles()
{
    std::error_code ignored;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ignored);
    return locateGameFiles(fs::path("."), executable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

bool replaceGameFile(const std::string& path, const std::string& text)
{
    const fs::path directory = directoryOf(path);
    makeDirectories(directory);
    const std::string temporary = path + ".tmp";
    if (!writeDurably(temporary, text) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectory(directory);
    return true;
}
