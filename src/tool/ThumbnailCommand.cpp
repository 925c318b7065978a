// vantorsee-tool thumbnail: the thumbnailer that desktop file managers run for KEV and XF
// files (and any other picture the program reads).

#include "graphics/Errors.h"
#include "graphics/PngFile.h"
#include "tool/ToolCommon.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <sys/stat.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace vs::tool {

namespace {

const char* const kThumbnailHelp =
    "Usage: vantorsee-tool thumbnail [-s SIZE] INPUT OUTPUT.png\n"
    "\n"
    "Writes a thumbnail of INPUT for desktop file managers: a PNG no larger than SIZE x SIZE\n"
    "pixels (default 128, at most 4096) with the picture's proportions, never enlarged, each\n"
    "pixel the average of those it covers. An album gives its first page. The PNG carries the\n"
    "text chunks Thumb::URI (INPUT's file: URI), Thumb::MTime (its modification time),\n"
    "Thumb::Image::Width and Thumb::Image::Height (the full size) and Software.\n"
    "The reader is chosen by INPUT's ending, or by its first bytes when the ending names no\n"
    "picture, so KEV and XF files without their ending work too.\n"
    "Exits 1 when INPUT cannot be read or OUTPUT cannot be written.\n";

constexpr int kDefaultSize = 128;
constexpr int kLargestSize = 4096;

int KindOfFile(const std::string& path) {
    const int kind = ContentKindFromPath(path);
    if (IsPicture(kind))
        return kind;
    std::array<std::uint8_t, kSignatureBytes> head{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    return PictureKindFromSignature(std::span(head.data(), static_cast<std::size_t>(in.gcount())));
}

}  // namespace

std::string FileUri(const std::string& path) {
    const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    std::string uri = "file://";
    for (const unsigned char c : absolute) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

int Thumbnail(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kThumbnailHelp;
        return kExitOk;
    }
    int size = kDefaultSize;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-s" || args[i] == "--size") {
            if (i + 1 == args.size())
                return Usage(kThumbnailHelp, args[i] + " needs a value");
            char* end = nullptr;
            const long n = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || n < 1 || n > kLargestSize)
                return Usage(kThumbnailHelp, "-s takes a size from 1 to 4096");
            size = static_cast<int>(n);
        } else if (args[i].starts_with("-") && args[i] != "-") {
            return Usage(kThumbnailHelp, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        return Usage(kThumbnailHelp, "thumbnail takes an input and an output file");
    const std::string& input = files[0];

    struct stat st {};
    if (::stat(input.c_str(), &st) != 0)
        return Fail("cannot read " + input);
    const int kind = KindOfFile(input);
    if (!IsPicture(kind))
        return Fail("not a picture this program reads: " + input);
    try {
        const CellHint hint{size, size};
        PictureSize fullSize;
        const Bitmap picture = DecodePicture(input, kind, &hint, &fullSize);
        const Bitmap thumb = ShrinkToFit(picture, size, size);
        SavePngFile(thumb, files[1],
                    {{"Thumb::URI", FileUri(input)},
                     {"Thumb::MTime", std::to_string(st.st_mtime)},
                     {"Thumb::Image::Width", std::to_string(fullSize.width)},
                     {"Thumb::Image::Height", std::to_string(fullSize.height)},
                     {"Software", "vantorsee-tool"}});
    } catch (const ImageError& e) {
        return Fail(e.what());
    }
    return kExitOk;
}

}  // namespace vs::tool
