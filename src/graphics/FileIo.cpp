#include "graphics/FileIo.h"

#include "graphics/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <fcntl.h>
#include <new>
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

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
    Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throw OpenError(SystemError("cannot open", path));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        throw OpenError(SystemError("cannot read", path));
    if (!S_ISREG(st.st_mode))
        throw OpenError("cannot open " + path + ": not a regular file");

    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        throw DecodeError(path + ": " + std::to_string(st.st_size) + " bytes, more than any picture can take");

    std::vector<std::uint8_t> data;
    try {
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
            // A file that grows while it is read is bounded all the same.
            if (data.size() + static_cast<std::size_t>(n) > maxBytes)
                throw DecodeError(path + ": more bytes than any picture can take");
            data.insert(data.end(), chunk, chunk + n);
        }
    } catch (const std::bad_alloc&) {
        throw DecodeError(path + ": not enough memory to read it");
    }
    return data;
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, bool durable) {
    AtomicFileWriter out(path, durable);
    out.write(bytes);
    out.commit();
}

InputFile::InputFile(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "rbe");
    if (!file_)
        throw OpenError(SystemError("cannot open", path));
    struct stat st {};
    if (::fstat(::fileno(file_), &st) != 0) {
        const std::string msg = SystemError("cannot read", path);
        std::fclose(file_);
        throw OpenError(msg);
    }
    if (!S_ISREG(st.st_mode)) {
        std::fclose(file_);
        throw OpenError("cannot open " + path + ": not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile() { std::fclose(file_); }

void InputFile::need(std::uint64_t n) const {
    if (n > remaining())
        throw DecodeError(path_ + ": unexpected end of file");
}

void InputFile::read(std::span<std::uint8_t> out) {
    need(out.size());
    if (std::fread(out.data(), 1, out.size(), file_) != out.size())
        throw DecodeError(path_ + ": cannot read (the file changed or failed)");
    pos_ += out.size();
}

void InputFile::skip(std::uint64_t n) {
    need(n);
    if (::fseeko(file_, static_cast<off_t>(pos_ + n), SEEK_SET) != 0)
        throw DecodeError(SystemError("cannot seek in", path_));
    pos_ += n;
}

std::uint8_t InputFile::u8() {
    std::uint8_t b = 0;
    read({&b, 1});
    return b;
}

std::int32_t InputFile::i32le() {
    std::uint8_t b[4];
    read(b);
    return static_cast<std::int32_t>(std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                                     (std::uint32_t{b[3]} << 24));
}

namespace {

constexpr std::size_t kWriteBuffer = 65536;

// umask() can only be read by setting it, and the mask belongs to the whole process: done
// while other threads write (the thumbnail workers), two readers interleaving leave it at 0.
// So it is read once, at start-up, before any thread exists.
mode_t ReadUmaskOnce() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

const mode_t kStartUmask = ReadUmaskOnce();

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path, bool durable) : path_(path), durable_(durable) {
    const std::filesystem::path target(path);
    // A hidden name, so a folder listing never shows the half-written file.
    tmp_ = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkostemp(tmp_.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw ImageError(SystemError("cannot create a temporary file for", path));
    buffer_.reserve(kWriteBuffer);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(tmp_.c_str());
}

void AtomicFileWriter::fail(const char* what) { throw ImageError(SystemError(what, path_)); }

void AtomicFileWriter::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void AtomicFileWriter::write(std::span<const std::uint8_t> bytes) {
    if (committed_)
        throw ImageError("write after commit: " + path_);
    written_ += bytes.size();
    while (!bytes.empty()) {
        const std::size_t n = std::min(bytes.size(), kWriteBuffer - buffer_.size());
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        bytes = bytes.subspan(n);
        if (buffer_.size() == kWriteBuffer)
            flushBuffer();
    }
}

void AtomicFileWriter::writeU8(std::uint8_t v) { write({&v, 1}); }

void AtomicFileWriter::writeI32le(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                               static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    write(b);
}

void AtomicFileWriter::commit() {
    if (committed_)
        return;
    flushBuffer();
    // mkstemp makes the file 0600: take the replaced file's mode, or the usual one.
    mode_t mode = 0;
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        mode = 0666 & ~kStartUmask;
    }
    if (::fchmod(fd_, mode) != 0 || (durable_ && ::fsync(fd_) != 0))
        fail("cannot write");
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("cannot write");
    }
    fd_ = -1;
    if (::rename(tmp_.c_str(), path_.c_str()) != 0)
        fail("cannot replace");
    committed_ = true;
}

void CopyBytes(InputFile& in, std::uint64_t n, AtomicFileWriter& out, std::size_t chunk) {
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(chunk, 1));
    while (n > 0) {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(n, buffer.size()));
        in.read({buffer.data(), take});
        out.write({buffer.data(), take});
        n -= take;
    }
}

}  // namespace vs
