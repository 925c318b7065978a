#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace vs {

// The largest file ReadFileBytes takes in. No reader accepts a picture of more than 2^28
// pixels (CheckPictureSize); even at 8 bytes a pixel (four 16-bit samples, the deepest layout
// the TIFF and Photoshop readers take) its data fits in 2 GiB.
inline constexpr std::uint64_t kMaxReadFileBytes = std::uint64_t{1} << 31;

// Reads a whole file into memory. Throws OpenError when it cannot be opened or read, and
// DecodeError, before reading or allocating anything, for a file of more than maxBytes (it
// can be no picture), or when memory runs out while reading.
// Readers parse from memory, so every offset and length is checked against the real size.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::uint64_t maxBytes = kMaxReadFileBytes);

// Writes bytes to a temporary file in path's folder, then renames it over path, so a crash
// or a full disk never leaves half a file behind. Throws ImageError when writing fails.
// durable also waits until the bytes are on the disk; scratch files (caches) skip that wait.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, bool durable = true);

// A regular file read front to back without loading it whole, bounded by its size at open:
// a read or skip past the end throws DecodeError before anything is allocated for it.
class InputFile {
public:
    // Throws OpenError when path cannot be opened or is not a regular file.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::uint64_t size() const { return size_; }
    std::uint64_t pos() const { return pos_; }
    std::uint64_t remaining() const { return size_ - pos_; }

    // Fills out exactly; throws DecodeError when the file has fewer bytes left.
    void read(std::span<std::uint8_t> out);
    void skip(std::uint64_t n);
    std::uint8_t u8();
    std::int32_t i32le();

private:
    void need(std::uint64_t n) const;

    std::FILE* file_ = nullptr;
    std::string path_;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
};

// Writes a file under a hidden temporary name in the target's folder and renames it over the
// target on commit(), so readers see the old file or the whole new one, never a part. The
// new file keeps the mode of the file it replaces (a new file gets the usual mode). Dropped
// without commit(), the temporary file is removed. Every failure throws ImageError. A durable
// writer also waits on commit() until the bytes are on the disk.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path, bool durable = true);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    void writeU8(std::uint8_t v);
    void writeI32le(std::int32_t v);
    // Bytes written so far.
    std::uint64_t size() const { return written_; }
    void commit();

private:
    void flushBuffer();
    [[noreturn]] void fail(const char* what);

    std::string path_;
    std::string tmp_;
    int fd_ = -1;
    bool durable_ = true;
    bool committed_ = false;
    std::uint64_t written_ = 0;
    std::vector<std::uint8_t> buffer_;
};

// Copies the next n bytes of in to out, chunk bytes at a time, so memory use does not grow
// with n. Throws DecodeError when in has fewer bytes left, ImageError when writing fails.
void CopyBytes(InputFile& in, std::uint64_t n, AtomicFileWriter& out, std::size_t chunk = 65536);

}  // namespace vs
