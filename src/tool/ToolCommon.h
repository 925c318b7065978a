// What every vantorsee-tool command shares: exit codes, usage errors, sizes, saving.
#pragma once

#include "graphics/Bitmap.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vs::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints the problem and the command's help on standard error; returns kExitUsage.
int Usage(const char* help, const std::string& problem);
// Prints "vantorsee-tool: message" on standard error; returns kExitFailure.
int Fail(const std::string& message);
bool WantsHelp(const std::vector<std::string>& args);
// "WxH" with both parts positive.
std::optional<std::pair<int, int>> ParseSize(const std::string& text);
// Full-size 24-bit decode as the viewer does it, or through the registered formats for
// other extensions; reports "Could not open" itself.
std::optional<Bitmap> DecodeForViewer(const std::string& input);
// Writes a BMP file; reports a failure itself.
bool Save(const Bitmap& bitmap, const std::string& output);

// The commands: each takes the arguments after its name and returns the exit status.
int Decode(const std::vector<std::string>& args);
int Thumb(const std::vector<std::string>& args);
int Fit(const std::vector<std::string>& args);
int Formats(const std::vector<std::string>& args);
int Samples(const std::vector<std::string>& args);
int Album(const std::vector<std::string>& args);
int Dib(const std::vector<std::string>& args);
int Thumbnail(const std::vector<std::string>& args);

// "file://" and the absolute, normalised path with every byte outside the unreserved set
// and '/' percent-encoded, as desktop thumbnail caches name their originals.
std::string FileUri(const std::string& path);

}  // namespace vs::tool
