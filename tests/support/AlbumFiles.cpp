#include "support/AlbumFiles.h"

#include "platform/Wave.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vs::test {

namespace {

int BytesPerPixel(int code) { return code == 3 ? 1 : code == 4 || code == 5 ? 2 : code == 6 ? 3 : 4; }

}  // namespace

AlbumPage PatternPage(std::int32_t width, std::int32_t height, std::uint8_t code, unsigned seed) {
    AlbumPage page{width, height, code, {}};
    const std::size_t n = std::size_t(width) * std::size_t(height) * std::size_t(BytesPerPixel(code));
    for (std::size_t i = 0; i < n; ++i)
        page.pixels.push_back(static_cast<std::uint8_t>(i * 7 + seed));
    return page;
}

AlbumPage SolidPage(std::int32_t width, std::int32_t height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::uint8_t code) {
    AlbumPage page{width, height, code, {}};
    for (std::int32_t i = 0; i < width * height; ++i) {
        page.pixels.insert(page.pixels.end(), {b, g, r});
        if (code == 7)
            page.pixels.push_back(0x5a);
    }
    return page;
}

std::vector<std::uint8_t> AlbumBytes(const std::vector<AlbumPage>& pages,
                                     const std::optional<std::vector<std::uint8_t>>& sound, std::uint8_t soundByte,
                                     std::optional<std::int32_t> pageCount) {
    std::vector<std::uint8_t> f = {'X', 'F', 'A'};
    Put32(f, static_cast<std::uint32_t>(pageCount.value_or(static_cast<std::int32_t>(pages.size()))));
    Put32(f, 0);
    Put8(f, soundByte);
    for (const auto& p : pages) {
        Put32(f, static_cast<std::uint32_t>(p.width));
        Put32(f, static_cast<std::uint32_t>(p.height));
        Put8(f, p.code);
        f.insert(f.end(), p.pixels.begin(), p.pixels.end());
    }
    Put8(f, sound ? 1 : 0);
    if (sound) {
        Put32(f, static_cast<std::uint32_t>(sound->size()));
        f.insert(f.end(), sound->begin(), sound->end());
    }
    return f;
}

std::vector<std::uint8_t> WaveOf(std::size_t n, unsigned seed) {
    std::vector<std::uint8_t> samples;
    for (std::size_t i = 0; i < n; ++i)
        samples.push_back(static_cast<std::uint8_t>(i * 13 + seed));
    return EncodeWavePcm(samples, 22050, 1, 8);
}

CacheHome::CacheHome() {
    if (const char* old = std::getenv("XDG_CACHE_HOME"))
        previous_ = old;
    ::setenv("XDG_CACHE_HOME", dir_.path().c_str(), 1);
}

CacheHome::~CacheHome() {
    if (previous_)
        ::setenv("XDG_CACHE_HOME", previous_->c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> CacheHome::companionEntries() const {
    std::vector<std::string> names;
    for (const auto& n : FolderEntries(companion()))
        if (n != "TQ Images XF TEMP")
            names.push_back(n);
    for (const auto& n : FolderEntries(companion() + "TQ Images XF TEMP"))
        names.push_back("TQ Images XF TEMP/" + n);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vs::test
