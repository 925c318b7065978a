#pragma once

// Album files built byte by byte, and a private companion folder, for the album tests.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vs::test {

struct AlbumPage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t code = 6;
    std::vector<std::uint8_t> pixels;  // the rows as stored, top row first, unpadded
};

// A page whose pixel bytes are all different from their neighbours (byte i = i * 7 + seed).
AlbumPage PatternPage(std::int32_t width, std::int32_t height, std::uint8_t code, unsigned seed = 0);

// A page of one colour (blue, green, red as given), stored with code 6 or 7.
AlbumPage SolidPage(std::int32_t width, std::int32_t height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::uint8_t code = 6);

// "XFA", page count (the number of pages unless given), 0, soundByte, the pages, then the
// sound flag, and the length and bytes of the sound when there is one.
std::vector<std::uint8_t> AlbumBytes(const std::vector<AlbumPage>& pages,
                                     const std::optional<std::vector<std::uint8_t>>& sound = std::nullopt,
                                     std::uint8_t soundByte = 0, std::optional<std::int32_t> pageCount = std::nullopt);

// A small wave file of n 8-bit samples, all different from one sample to the next.
std::vector<std::uint8_t> WaveOf(std::size_t n, unsigned seed = 1);

// Points XDG_CACHE_HOME at a fresh folder for the object's lifetime.
class CacheHome {
public:
    CacheHome();
    ~CacheHome();
    CacheHome(const CacheHome&) = delete;
    CacheHome& operator=(const CacheHome&) = delete;

    // The companion folder the program uses under it, with a trailing slash.
    std::string companion() const { return dir_.path() + "/vantor-see/"; }
    // Names in the companion folder (and under "TQ Images XF TEMP/"), sorted.
    std::vector<std::string> companionEntries() const;

private:
    TempDir dir_;
    std::optional<std::string> previous_;
};

// Names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// A test with its own companion folder and a folder for album files.
class AlbumTest : public ::testing::Test {
protected:
    CacheHome cache;
    TempDir dir;
    std::string companion() const { return cache.companion(); }
    // Writes an album (or any bytes) into the folder; returns its path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        WriteBytes(dir.file(name), bytes);
        return dir.file(name);
    }
};

}  // namespace vs::test
