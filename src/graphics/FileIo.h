#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vs {

// Reads a whole file into memory. Throws OpenError when it cannot be opened or read.
// Readers parse from memory, so every offset and length is checked against the real size.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Writes bytes to a temporary file in path's folder, then renames it over path, so a crash
// or a full disk never leaves half a file behind. Throws ImageError when writing fails.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace vs
