#pragma once

#include "graphics/Bitmap.h"

#include <optional>
#include <string>

namespace vs {

// The thumbnail cache Linux desktops share ($XDG_CACHE_HOME/thumbnails): PNG files named by
// the MD5 of the file's URI, valid while their Thumb::URI and Thumb::MTime match the file.
// The grid reads its pictures from here before decoding and adds what it decoded, so file
// managers and other viewers profit from its work and it from theirs. Thread-safe: every
// call works on its own files, written atomically.
class ThumbnailCache {
public:
    // root: the cache folder; empty means $XDG_CACHE_HOME/thumbnails (~/.cache/thumbnails).
    explicit ThumbnailCache(std::string root = {});

    const std::string& Root() const { return root_; }

    struct Entry {
        Bitmap picture;  // 24-bit, at most 128 on its longer side
        int width = 0;   // the size of the picture it stands for
        int height = 0;
    };
    enum class Lookup { Missing, Found, Failed };
    // A valid "normal" entry for path (its picture and the original size), or a valid record
    // that an earlier attempt to read the file failed. Files inside the cache never have one.
    Lookup Find(const std::string& path, Entry& entry) const;

    // Stores picture (any size; scaled down to the 128-pixel "normal" size) as path's entry,
    // with the original size. False when path cannot be stat'ed or lies inside the cache, or
    // writing fails; a failure leaves no partial file.
    bool Store(const std::string& path, const Bitmap& picture, int width, int height) const;
    // Records that path could not be read, so no program tries again until it changes.
    bool StoreFailure(const std::string& path) const;

    // Where path's normal entry and failure record live.
    std::string NormalFile(const std::string& path) const;
    std::string FailFile(const std::string& path) const;

private:
    bool Inside(const std::string& path) const;
    bool Write(const std::string& file, const std::string& path, const Bitmap& picture, int width, int height) const;

    std::string root_;
};

// A grid thumbnail through the cache: the cached picture fitted into the cell when a valid
// entry exists; else the file decoded (large enough for a 128-pixel entry), fitted, and
// stored. Same contract as LoadMicroImageFromFile (OpenError for files the grid drops).
bool LoadMicroImageThroughCache(const ThumbnailCache& cache, const std::string& path, int kind, Bitmap& thumb,
                                std::string& sizeText);

}  // namespace vs
