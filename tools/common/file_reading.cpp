// Reading a whole file, with the reason of every failure.
#include "common/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace palisade::tools {

namespace {

std::string Refusal(const std::filesystem::path& path, const std::string& why) {
    return "cannot read '" + path.string() + "': " + why;
}

std::string SystemReason(int error) {
    return error == ENOENT ? std::string("it does not exist") : std::string(std::strerror(error));
}

// An open descriptor that is closed when it goes.
class OpenFile {
public:
    explicit OpenFile(int fd) : m_fd(fd) {}
    ~OpenFile() {
        if (m_fd >= 0) ::close(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Opens `path` and checks that what was opened is a regular file; the reason
// when it is not. The file is opened before it is looked at, so that what is
// checked is what is read, and without blocking, so that a named pipe is
// refused instead of waited on.
std::string OpenRegularFile(const std::filesystem::path& path, int& fd, std::uint64_t& size) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return SystemReason(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return "it is a folder, not a file";
    if (!S_ISREG(info.st_mode)) return "it is not a regular file";
    size = std::uint64_t(info.st_size);
    return {};
}

}  // namespace

std::string WhyUnreadable(const std::filesystem::path& path) {
    int fd = -1;
    std::uint64_t size = 0;
    std::string problem = OpenRegularFile(path, fd, size);
    OpenFile closer(fd);
    return problem;
}

FileBytes ReadFileBytes(const std::filesystem::path& path, std::uint64_t maxSize, const std::string& what) {
    FileBytes result;
    int fd = -1;
    std::uint64_t size = 0;
    std::string problem = OpenRegularFile(path, fd, size);
    OpenFile closer(fd);
    if (problem.empty() && size > maxSize) {
        problem = "it is " + std::to_string(size) + " bytes" + (what.empty() ? "" : "; " + what);
    }
    if (!problem.empty()) {
        result.error = Refusal(path, problem);
        return result;
    }
    result.bytes.resize(std::size_t(size));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        ssize_t got = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.error = Refusal(path, std::strerror(errno));
            result.bytes.clear();
            return result;
        }
        if (got == 0) break;  // the file shrank while being read: what is there
        done += std::size_t(got);
    }
    result.bytes.resize(done);
    return result;
}

}  // namespace palisade::tools
