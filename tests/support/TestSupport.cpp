#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vs::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantorsee-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void MakeSparseFile(const std::string& path, std::uint64_t size) {
    WriteBytes(path, {});
    if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0)
        throw std::runtime_error("cannot size " + path);
}

void MakeHugeBmp(const std::string& path) {
    constexpr std::uint32_t side = 16384;
    constexpr std::uint32_t rows = side * side * 3;
    std::vector<std::uint8_t> header;
    PutU8(header, 'B');
    PutU8(header, 'M');
    PutLe32(header, 54 + rows);
    PutLe32(header, 0);
    PutLe32(header, 54);
    PutLe32(header, 40);
    PutLe32(header, side);
    PutLe32(header, side);
    PutLe16(header, 1);
    PutLe16(header, 24);
    PutLe32(header, 0);
    PutLe32(header, rows);
    for (int i = 0; i < 4; ++i)
        PutLe32(header, 0);
    WriteBytes(path, header);
    if (::truncate(path.c_str(), 54 + static_cast<off_t>(rows)) != 0)
        throw std::runtime_error("cannot size " + path);
}

int RunWithMemoryLimit(std::uint64_t limitBytes, int (*body)(const std::string&), const std::string& arg) {
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (!kAddressSanitizer) {
            const rlimit limit{limitBytes, limitBytes};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        try {
            ::_exit(body(arg));
        } catch (...) {
            ::_exit(kEscapedException);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CommandResult Run(const std::string& command) {
    TempDir dir;
    const std::string outFile = dir.file("out");
    const std::string errFile = dir.file("err");
    const int status = std::system((command + " >" + Quote(outFile) + " 2>" + Quote(errFile)).c_str());
    CommandResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto out = ReadBytes(outFile);
    const auto err = ReadBytes(errFile);
    r.out.assign(out.begin(), out.end());
    r.err.assign(err.begin(), err.end());
    return r;
}

RgbImage MagickDecode(const std::string& path) {
    RgbImage img;
    const CommandResult size = Run("identify -format '%w %h' " + Quote(path + "[0]"));
    if (size.exitCode != 0) {
        ADD_FAILURE() << "ImageMagick cannot identify " << path << ": " << size.err;
        return img;
    }
    std::istringstream(size.out) >> img.width >> img.height;
    TempDir dir;
    const std::string raw = dir.file("pixels.rgb");
    const CommandResult conv = Run("convert " + Quote(path + "[0]") + " -depth 8 rgb:" + Quote(raw));
    if (conv.exitCode != 0) {
        ADD_FAILURE() << "ImageMagick cannot decode " << path << ": " << conv.err;
        return img;
    }
    img.rgb = ReadBytes(raw);
    EXPECT_EQ(img.rgb.size(), static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) * 3);
    return img;
}

RgbImage ToRgbImage(const Bitmap& bitmap) {
    RgbImage img{bitmap.width(), bitmap.height(), {}};
    img.rgb.reserve(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) * 3);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const Rgb c = bitmap.pixel(x, y);
            img.rgb.insert(img.rgb.end(), {c.r, c.g, c.b});
        }
    return img;
}

Bitmap FromRgbImage(const RgbImage& img) {
    Bitmap bmp(img.width, img.height, PixelFormat::Bpp24);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) + static_cast<std::size_t>(x)) * 3;
            bmp.row(y)[3 * x] = img.rgb[i + 2];
            bmp.row(y)[3 * x + 1] = img.rgb[i + 1];
            bmp.row(y)[3 * x + 2] = img.rgb[i];
        }
    return bmp;
}

Bitmap CoordinatePicture(int width, int height) {
    Bitmap b(width, height, PixelFormat::Bpp24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = b.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>((x >> 8) | ((y >> 8) << 4));
        }
    return b;
}

}  // namespace vs::test
