#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace vs {

// What the status bar's second panel and a grid item's tool tip tell about one file.
struct FileDetails {
    std::string name;  // as on disk
    int position = 0;  // 1-based place in the grid; 0: not in the grid
    int count = 0;     // files in the grid
    std::uint64_t size = 0;
    std::time_t modified = 0;
    std::string camera;    // Exif camera model, empty for none
    std::string exposure;  // ExposureText, empty for none
    std::string taken;     // Exif date taken, "YYYY:MM:DD HH:MM:SS" as written
};

// "12.3 KB" below a mebibyte, "4.56 MB" from there; a non-empty file shows at least "0.1 KB".
std::string ByteSizeText(std::uint64_t bytes);

// Reads the file's size, modification time and, for a JPEG, its Exif fields (reading no
// more than the file's head). Fields it cannot read stay empty.
FileDetails ReadFileDetails(const std::string& path);

// "name  |  3 / 16  |  12.3 KB  |  2026-12-09 00:55  |  Camera, 1/250 s, f/2.8  |  taken
// 2026-12-08 14:03:10", skipping the parts that are unknown. The date is local time.
std::string FileDetailsText(const FileDetails& details);

}  // namespace vs
