#pragma once

#include <stdexcept>
#include <string>

namespace vs {

// Base of every failure a picture reader reports.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file could not be opened or read at all. Callers treat this apart from bad data:
// the grid drops the item of a file it cannot open but keeps one it cannot decode.
class OpenError : public ImageError {
public:
    using ImageError::ImageError;
};

// The file was read but its contents are not a valid picture (truncated, corrupt,
// unsupported variant, or larger than we are willing to allocate).
class DecodeError : public ImageError {
public:
    using ImageError::ImageError;
};

}  // namespace vs
