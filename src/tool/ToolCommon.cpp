#include "tool/ToolCommon.h"

#include "formats/FormatRegistry.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <cstdio>
#include <iostream>
#include <new>

namespace vs::tool {

int Usage(const char* help, const std::string& problem) {
    std::cerr << "vantorsee-tool: " << problem << "\n\n" << help;
    return kExitUsage;
}


int Fail(const std::string& message) {
    std::cerr << "vantorsee-tool: " << message << "\n";
    return kExitFailure;
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}


std::optional<std::pair<int, int>> ParseSize(const std::string& text) {
    int w = 0;
    int h = 0;
    char x = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w <= 0 || h <= 0)
        return std::nullopt;
    return std::make_pair(w, h);
}


std::optional<vs::Bitmap> DecodeForViewer(const std::string& input) {
    vs::Bitmap picture;
    const int kind = vs::ContentKindFromPath(input);
    if (vs::IsPicture(kind)) {
        if (vs::LoadImageByKind(input, kind, nullptr, picture))
            return picture;
    } else if (const auto* format = vs::PlatformPictureTable().FindForFile(input)) {
        const vs::PictureReader reader = vs::ReaderOfGraphicClass(format->graphicClass);
        if (!reader) {
            std::cerr << "vantorsee-tool: no decoder for " << format->description << " ("
                      << format->graphicClass->name << "): " << input << "\n";
            return std::nullopt;
        }
        try {
            picture = reader(input, nullptr, nullptr, vs::kWhite);
            picture.convertTo24();
            return picture;
        } catch (const vs::ImageError&) {
        } catch (const std::bad_alloc&) {
        }
    }
    std::cerr << "Could not open " << input << "\n";
    return std::nullopt;
}

bool Save(const vs::Bitmap& bitmap, const std::string& output) {
    try {
        vs::SaveBmpFile(bitmap, output);
        return true;
    } catch (const vs::ImageError& e) {
        std::cerr << "vantorsee-tool: " << e.what() << "\n";
        return false;
    }
}

}  // namespace vs::tool
