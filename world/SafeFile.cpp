#include "world/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

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
    return file.valid() && writeAll(file.get(), text) && ::fsync(file.get()) == 0 &&
           file.close();
}

// Makes the rename itself survive a power cut. Failing here is harmless:
// the new file is already in place for this run.
void syncDirectoryOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::filesystem::path directory = parent.empty() ? std::filesystem::path(".") : parent;
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// Creates the missing directories on the way to a file, each readable by the
// player alone, as the desktop's rules for config directories ask.
void makeDirectories(const std::filesystem::path& directory)
{
    std::error_code ignored;
    if (directory.empty() || std::filesystem::is_directory(directory, ignored))
        return;
    makeDirectories(directory.parent_path());
    ::mkdir(directory.c_str(), 0700);
}

}  // namespace

// The old file is only ever replaced by a complete new one, so a crash or a
// full disk in the middle of a save never costs the player what the file held.
bool replaceFileSafely(const std::string& path, const std::string& text)
{
    makeDirectories(std::filesystem::path(path).parent_path());
    const std::string temporary = path + ".tmp";
    if (!writeDurably(temporary, text) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}
