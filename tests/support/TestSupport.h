#pragma once

#include "graphics/Bitmap.h"
#include "graphics/ByteWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vs::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);
// Text files, written with any missing parent folders.
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Files that claim huge sizes without taking disk space (holes read as zeros): an 8 GiB file
// of any name, and a valid header of a 16384 x 16384 24-bit BMP with its 768 MiB of rows.
inline constexpr std::uint64_t kEightGiB = std::uint64_t{8} << 30;
void MakeSparseFile(const std::string& path, std::uint64_t size);
void MakeHugeBmp(const std::string& path);

// Whether this build runs under AddressSanitizer, which cannot live with an address-space
// limit (RLIMIT_AS, `ulimit -v`).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// Runs body in a forked child whose address space is limited to limitBytes (no limit under
// AddressSanitizer), so running out of memory is quick and harmless. The child's exit code
// is body's result, kEscapedException when an exception left body, or 128 + the signal that
// killed it.
inline constexpr int kEscapedException = 99;
int RunWithMemoryLimit(std::uint64_t limitBytes, int (*body)(const std::string&), const std::string& arg);

struct CommandResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};
// Runs a shell command, capturing both output streams.
CommandResult Run(const std::string& command);
// Quotes an argument for the shell.
std::string Quote(const std::string& arg);

// A picture as someone else's decoder sees it: 8-bit red, green, blue per pixel, top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
// ImageMagick's decode of a file (fails the test when convert cannot read it).
RgbImage MagickDecode(const std::string& path);
// Our bitmap in the same form.
RgbImage ToRgbImage(const Bitmap& bitmap);
// And back: a 24-bit bitmap of the same pixels.
Bitmap FromRgbImage(const RgbImage& image);

// A 24-bit picture whose pixel (x, y) encodes its own coordinates (x low byte in blue, y low
// byte in green, the high bits of both in red), so a sampled pixel tells where it came from.
Bitmap CoordinatePicture(int width, int height);

// Little-endian byte appenders for building files by hand (the program's own).
inline constexpr auto* Put8 = &PutU8;
inline constexpr auto* Put16 = &PutLe16;
inline constexpr auto* Put32 = &PutLe32;

}  // namespace vs::test
