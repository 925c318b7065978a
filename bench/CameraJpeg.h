#pragma once

// Camera-like JPEG files made on first use in the temporary folder, shared by the benchmarks.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace vs::bench {

// A photograph-like picture: smooth colour fields, edges and sensor-like noise, quality 90,
// 4:2:0 chroma, as a camera writes. Written once per size into the temporary folder.
inline std::string CameraJpeg(int width, int height) {
    static std::map<std::pair<int, int>, std::string> made;
    const auto key = std::make_pair(width, height);
    if (const auto it = made.find(key); it != made.end())
        return it->second;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vantorsee-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".jpg"))
                                 .string();
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::mt19937 rng(42);
    std::normal_distribution<float> noise(0.0f, 6.0f);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float fx = static_cast<float>(x) / static_cast<float>(width);
            const float fy = static_cast<float>(y) / static_cast<float>(height);
            const float edge = (std::sin(fx * 37.0f) + std::cos(fy * 23.0f + fx * 5.0f)) > 0.6f ? 60.0f : 0.0f;
            const float base[3] = {120 + 90 * std::sin(fx * 6.1f + fy * 2.0f), 110 + 80 * std::cos(fy * 4.3f),
                                   100 + 70 * std::sin((fx + fy) * 3.7f)};
            for (int c = 0; c < 3; ++c) {
                const float v = base[c] + edge + noise(rng);
                row[static_cast<std::size_t>(x * 3 + c)] = static_cast<JSAMPLE>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
    made[key] = path;
    return path;
}

}  // namespace vs::bench
