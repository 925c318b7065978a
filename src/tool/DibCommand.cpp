// vantorsee-tool dib: one DIB toolkit call on a BMP file.

#include "dib/DibFile.h"
#include "graphics/Errors.h"
#include "tool/ToolCommon.h"
#include "vantor/dibkit.h"

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <charconv>
#include <optional>

namespace vs::tool {

namespace {

using DibStep = std::function<VDK_HDIB(VDK_HDIB)>;


const char* const kDibAdjustmentHelp =
    "Colour reduction, copy and adjustments (24-bit input unless said otherwise):\n"
    "  quantize BITS [--dither]        QuantizeDIB to 8 or 4 bits, or 0 (16 system colours)\n"
    "  reduce UBPP FLAGS               ReduceColors to 2^UBPP colours; FLAGS 1 diffusion,\n"
    "                                  2 median cut\n"
    "  copy WIDTH HEIGHT FLAGS [L T R B]  DKImageCopy (any depth; rectangle inclusive)\n"
    "  sharpen STRENGTH [L T R B]      Better\n"
    "  enhance BRIGHTNESS CONTRAST GAMMA_B GAMMA_G GAMMA_R [L T R B]  Enhance\n"
    "  hue RGBYMC HUE SATURATION LIGHTNESS [L T R B]  dkHueAndSaturation; RGBYMC is six 0/1\n"
    "                                  switches for red, green, blue, yellow, magenta, cyan\n"
    "Rectangles of sharpen, enhance and hue are exclusive and default to the whole picture.\n";


std::optional<std::int32_t> Int(const std::string& text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Parses `count` integers starting at args[from].
bool Ints(const std::vector<std::string>& args, std::size_t from, std::size_t count, std::vector<std::int32_t>& out) {
    for (std::size_t i = from; i < from + count; ++i) {
        const auto v = Int(args.at(i));
        if (!v)
            return false;
        out.push_back(*v);
    }
    return true;
}

// An optional rectangle of four integers after `fixed` arguments; `whole` fills it in when
// absent.
bool Rect(const std::vector<std::string>& args, std::size_t fixed, std::optional<VDK_RECT>& rect) {
    if (args.size() == fixed)
        return true;
    std::vector<std::int32_t> v;
    if (args.size() != fixed + 4 || !Ints(args, fixed, 4, v))
        return false;
    rect = VDK_RECT{v[0], v[1], v[2], v[3]};
    return true;
}

VDK_RECT WholeOr(const std::optional<VDK_RECT>& rect, VDK_HDIB dib) {
    return rect ? *rect : VDK_RECT{0, 0, GetDIBWidth(dib), GetDIBHeight(dib)};
}

bool ParseDibAdjustment(const std::string& name, const std::vector<std::string>& args, DibStep& step,
                        std::string& problem) {
    std::vector<std::int32_t> v;
    std::optional<VDK_RECT> rect;
    if (name == "quantize") {
        const bool dither = args.size() == 2 && args[1] == "--dither";
        if ((args.size() != 1 && !dither) || !Ints(args, 0, 1, v) || (v[0] != 8 && v[0] != 4 && v[0] != 0)) {
            problem = "quantize takes BITS (8, 4 or 0) and optionally --dither";
            return true;
        }
        step = [bits = v[0], dither](VDK_HDIB dib) { return QuantizeDIB(dib, bits, dither, 0, nullptr, 0, nullptr); };
    } else if (name == "reduce") {
        if (args.size() != 2 || !Ints(args, 0, 2, v)) {
            problem = "reduce takes UBPP and FLAGS";
            return true;
        }
        step = [v](VDK_HDIB dib) { return ReduceColors(dib, v[0], v[1]); };
    } else if (name == "copy") {
        if (args.size() < 3 || !Ints(args, 0, 3, v) || v[2] < 0 || !Rect(args, 3, rect)) {
            problem = "copy takes WIDTH HEIGHT FLAGS and optionally LEFT TOP RIGHT BOTTOM";
            return true;
        }
        step = [v, rect](VDK_HDIB dib) {
            return DKImageCopy(dib, v[0], v[1], rect ? &*rect : nullptr, static_cast<std::uint32_t>(v[2]));
        };
    } else if (name == "sharpen") {
        if (args.empty() || !Ints(args, 0, 1, v) || !Rect(args, 1, rect)) {
            problem = "sharpen takes STRENGTH and optionally LEFT TOP RIGHT BOTTOM";
            return true;
        }
        step = [v, rect](VDK_HDIB dib) {
            const VDK_RECT r = WholeOr(rect, dib);
            return Better(dib, v[0], &r, 0, nullptr);
        };
    } else if (name == "enhance") {
        if (args.size() < 5 || !Ints(args, 0, 5, v) || !Rect(args, 5, rect)) {
            problem = "enhance takes BRIGHTNESS CONTRAST GAMMA_B GAMMA_G GAMMA_R and optionally a rectangle";
            return true;
        }
        step = [v, rect](VDK_HDIB dib) {
            const VDK_RECT r = WholeOr(rect, dib);
            return Enhance(dib, v[0], v[1], v[2], v[3], v[4], &r, 0, nullptr);
        };
    } else if (name == "hue") {
        const bool switches =
            !args.empty() && args[0].size() == 6 && args[0].find_first_not_of("01") == std::string::npos;
        if (!switches || args.size() < 4 || !Ints(args, 1, 3, v) || !Rect(args, 4, rect)) {
            problem = "hue takes RGBYMC HUE SATURATION LIGHTNESS and optionally a rectangle";
            return true;
        }
        const std::string on = args[0];
        step = [v, rect, on](VDK_HDIB dib) -> VDK_HDIB {
            const VDK_RECT r = WholeOr(rect, dib);
            const auto s = [&on](std::size_t i) { return static_cast<std::int16_t>(on[i] == '1'); };
            const VDK_HDIB copy = CopyDIB(dib);
            if (!copy)
                return 0;
            if (dkHueAndSaturation(copy, s(0), s(1), s(2), s(3), s(4), s(5), static_cast<std::int16_t>(v[0]),
                                   static_cast<std::int16_t>(v[1]), static_cast<std::int16_t>(v[2]), &r, 0,
                                   nullptr) != 1) {
                vdk_GlobalFree(copy);
                return 0;
            }
            return copy;
        };
    } else {
        return false;
    }
    return true;
}

const char* const kDibHelp =
    "Usage: vantorsee-tool dib FUNCTION INPUT.bmp OUTPUT.bmp [ARGS]\n"
    "\n"
    "Loads INPUT.bmp as a DIB, calls the DIB toolkit function FUNCTION on it and writes the\n"
    "DIB it returns as OUTPUT.bmp. FUNCTION is one of DIB1To4, DIB4To8, DIB8To24, DIB1To8,\n"
    "DIB1To24, DIB4To24, DIB24To1, DIB8To1, DIB4To1, DIB24To4, DIB8To4, GrayDIB, CopyDIB,\n"
    "_DIB24To1, _DIB24To4, or DIB24To8, which takes one argument: the grey flag (0 or 1).\n"
    "The toolkit's messages appear on standard error. Exits 1 when the function returns no\n"
    "DIB or a file cannot be read or written.\n\n";

}  // namespace

int Dib(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kDibHelp << kDibAdjustmentHelp;
        return kExitOk;
    }
    using Conversion = VDK_HDIB (*)(VDK_HDIB);
    static const std::pair<const char*, Conversion> kConversions[] = {
        {"DIB1To4", DIB1To4},   {"DIB4To8", DIB4To8},     {"DIB8To24", DIB8To24},   {"DIB1To8", DIB1To8},
        {"DIB1To24", DIB1To24}, {"DIB4To24", DIB4To24},   {"DIB24To1", DIB24To1},   {"DIB8To1", DIB8To1},
        {"DIB4To1", DIB4To1},   {"DIB24To4", DIB24To4},   {"DIB8To4", DIB8To4},     {"GrayDIB", GrayDIB},
        {"CopyDIB", CopyDIB},   {"_DIB24To1", _DIB24To1}, {"_DIB24To4", _DIB24To4},
    };
    if (args.size() < 3)
        return Usage(kDibHelp, "dib takes a function, an input and an output file");
    const std::string& name = args[0];
    Conversion conversion = nullptr;
    for (const auto& [n, f] : kConversions)
        if (name == n)
            conversion = f;
    std::optional<std::int32_t> grey;
    DibStep step;
    std::string problem;
    if (ParseDibAdjustment(name, {args.begin() + 3, args.end()}, step, problem)) {
        if (!problem.empty())
            return Usage(kDibHelp, problem);
        conversion = nullptr;
    } else if (name == "DIB24To8") {
        if (args.size() != 4 || (args[3] != "0" && args[3] != "1"))
            return Usage(kDibHelp, "DIB24To8 takes the grey flag, 0 or 1");
        grey = args[3] == "1" ? 1 : 0;
    } else if (!conversion) {
        return Usage(kDibHelp, "unknown function " + name);
    } else if (args.size() != 3) {
        return Usage(kDibHelp, name + " takes no arguments");
    }
    VDK_HDIB input = 0;
    try {
        input = vs::LoadBmpFileAsDib(args[1]);
    } catch (const vs::ImageError& e) {
        std::cerr << "vantorsee-tool: " << e.what() << "\n";
        return kExitFailure;
    }
    const VDK_HDIB output = step ? step(input) : grey ? DIB24To8(input, *grey) : conversion(input);
    vdk_GlobalFree(input);
    if (!output)
        return kExitFailure;
    int status = kExitOk;
    try {
        vs::SaveDibAsBmpFile(output, args[2]);
    } catch (const vs::ImageError& e) {
        std::cerr << "vantorsee-tool: " << e.what() << "\n";
        status = kExitFailure;
    }
    vdk_GlobalFree(output);
    return status;
}

}  // namespace vs::tool
