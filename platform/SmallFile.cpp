#include "SmallFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw::win {

std::string SizeText(std::size_t bytes) {
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0)
        return std::to_string(bytes >> 20) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}

namespace {

std::string TooLarge(std::size_t limit) {
    return "is larger than " + SizeText(limit);
}

} // namespace

void Forget(std::string& bytes) {
    volatile char* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        p[i] = 0;
    bytes.clear();
}

#ifndef _WIN32

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& bytes,
                                         std::size_t limit) {
    bytes.clear();
    // Without O_NONBLOCK the open of a FIFO waits for a writer, for ever.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return std::string("cannot be opened: ") + std::strerror(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::string("is not a regular file");
    if (static_cast<std::uintmax_t>(status.st_size) > limit)
        return TooLarge(limit);
    // Read into one buffer of the limit and a byte more, to the end: the
    // file may grow meanwhile, and a secret is never left behind in a
    // buffer given back by a growing string.
    bytes.assign(limit + 1, '\0');
    std::size_t size = 0;
    for (;;) {
        const ssize_t got = ::read(file.get(), bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Forget(bytes);
            return std::string("cannot be read: ") + std::strerror(errno);
        }
        size += static_cast<std::size_t>(got);
        if (size > limit) {
            Forget(bytes);
            return TooLarge(limit);
        }
        if (got == 0) {
            bytes.resize(size);
            return std::nullopt;
        }
    }
}

#else

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& bytes,
                                         std::size_t limit) {
    bytes.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::string(std::filesystem::exists(path, error) ? "is not a regular file"
                                                                : "cannot be opened: not found");
    if (std::filesystem::file_size(path, error) > limit || error)
        return TooLarge(limit);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::string("cannot be opened");
    bytes.reserve(limit + 1);
    char buffer[16384];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        if (bytes.size() + static_cast<std::size_t>(file.gcount()) > limit) {
            Forget(bytes);
            return TooLarge(limit);
        }
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        Forget(bytes);
        return std::string("cannot be read");
    }
    return std::nullopt;
}

#endif

} // namespace tw::win
