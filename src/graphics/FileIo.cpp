#include "graphics/FileIo.h"

#include "graphics/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vs {

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Closes a descriptor on every path out of a function.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throw OpenError(SystemError("cannot open", path));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        throw OpenError(SystemError("cannot read", path));
    if (!S_ISREG(st.st_mode))
        throw OpenError("cannot open " + path + ": not a regular file");

    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw OpenError(SystemError("cannot read", path));
        }
        if (n == 0)
            break;
        data.insert(data.end(), chunk, chunk + n);
    }
    return data;
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string tmp = path + ".XXXXXX";
    Fd file{::mkstemp(tmp.data())};
    if (file.fd < 0)
        throw ImageError(SystemError("cannot create a temporary file for", path));
    const auto fail = [&](const char* what) {
        const std::string msg = SystemError(what, path);
        ::unlink(tmp.c_str());
        throw ImageError(msg);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file 0600; give it the mode an ordinary new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(file.fd, 0666 & ~mask) != 0 || ::fsync(file.fd) != 0)
        fail("cannot write");
    if (::rename(tmp.c_str(), path.c_str()) != 0)
        fail("cannot replace");
}

}  // namespace vs
