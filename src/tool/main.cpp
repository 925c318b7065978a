// vantorsee-tool: the program's picture loading and fitting, from the command line.

#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"
#include "tool/Samples.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kMainHelp =
    "Usage: vantorsee-tool COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  decode INPUT OUTPUT.bmp     decode a picture the way the viewer does, write a 24-bit BMP\n"
    "  thumb INPUT... -o OUTDIR    write 80x60 thumbnails the way the grid makes them\n"
    "  fit INPUT OUTPUT.bmp --mode MODE --box WxH\n"
    "                              write the picture as the image view shows it\n"
    "  samples DIR                 fill DIR with the demo library a new user starts with\n"
    "\n"
    "Run 'vantorsee-tool COMMAND --help' for a command's options.\n"
    "Exit status: 0 on success, 1 when a picture could not be read or written, 2 on bad usage.\n";

const char* const kDecodeHelp =
    "Usage: vantorsee-tool decode INPUT OUTPUT.bmp\n"
    "\n"
    "Decodes INPUT, choosing the reader by its extension as the viewer does, and writes it\n"
    "as a 24-bit BMP. On failure prints \"Could not open INPUT\" and exits 1.\n";

const char* const kThumbHelp =
    "Usage: vantorsee-tool thumb INPUT... -o OUTDIR [--cell WxH]\n"
    "\n"
    "Writes one thumbnail per input to OUTDIR/NAME.bmp (NAME is the input's file name), fitted\n"
    "on white into a cell of 80x60 unless --cell says otherwise, and prints NAME<TAB>SIZE for\n"
    "each input, SIZE being the picture's full size such as 640X480, empty when it could not\n"
    "be decoded. Exits 1 when any input failed.\n";

const char* const kFitHelp =
    "Usage: vantorsee-tool fit INPUT OUTPUT.bmp --mode auto|full|half|quarter|eighth --box WxH\n"
    "\n"
    "Writes the picture the image view shows for INPUT in a content area of WxH pixels at the\n"
    "given zoom mode, and prints the image frame as: left top width height\n";

int Usage(const char* help, const std::string& problem) {
    std::cerr << "vantorsee-tool: " << problem << "\n\n" << help;
    return kExitUsage;
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}

// "WxH" with both parts positive.
std::optional<std::pair<int, int>> ParseSize(const std::string& text) {
    int w = 0;
    int h = 0;
    char x = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w <= 0 || h <= 0)
        return std::nullopt;
    return std::make_pair(w, h);
}

// Full-size 24-bit decode as the viewer does it; reports "Could not open" itself.
std::optional<vs::Bitmap> DecodeForViewer(const std::string& input) {
    vs::Bitmap picture;
    const int kind = vs::ContentKindFromPath(input);
    if (!vs::IsPictureKind(kind) || !vs::LoadImageByKind(input, kind, nullptr, picture)) {
        std::cerr << "Could not open " << input << "\n";
        return std::nullopt;
    }
    return picture;
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

int Decode(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kDecodeHelp;
        return kExitOk;
    }
    if (args.size() != 2)
        return Usage(kDecodeHelp, "decode takes an input and an output file");
    const auto picture = DecodeForViewer(args[0]);
    if (!picture)
        return kExitFailure;
    return Save(*picture, args[1]) ? kExitOk : kExitFailure;
}

int Thumb(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kThumbHelp;
        return kExitOk;
    }
    std::vector<std::string> inputs;
    std::string outDir;
    int cellW = vs::kThumbCellWidth;
    int cellH = vs::kThumbCellHeight;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--cell") {
            if (i + 1 == args.size())
                return Usage(kThumbHelp, args[i] + " needs a value");
            const std::string& value = args[++i];
            if (args[i - 1] == "-o") {
                outDir = value;
            } else if (const auto size = ParseSize(value)) {
                std::tie(cellW, cellH) = *size;
            } else {
                return Usage(kThumbHelp, "--cell takes WxH, for example 80x60");
            }
        } else if (args[i].starts_with("-") && args[i] != "-") {
            return Usage(kThumbHelp, "unknown option " + args[i]);
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (inputs.empty() || outDir.empty())
        return Usage(kThumbHelp, "thumb takes at least one input and -o OUTDIR");

    int status = kExitOk;
    for (const auto& input : inputs) {
        const std::string name = std::filesystem::path(input).filename().string();
        std::string sizeText;
        vs::Bitmap thumb;
        bool ok = false;
        try {
            ok = vs::LoadMicroImageFromFile(input, vs::ImageKindFromFileName(input), thumb, sizeText, cellW, cellH);
        } catch (const vs::ImageError& e) {
            std::cerr << "vantorsee-tool: " << e.what() << "\n";
        }
        if (ok)
            ok = Save(thumb, (std::filesystem::path(outDir) / (name + ".bmp")).string());
        if (!ok) {
            sizeText.clear();
            status = kExitFailure;
        }
        std::cout << name << '\t' << sizeText << '\n';
    }
    return status;
}

const char* const kSamplesHelp =
    "Usage: vantorsee-tool samples DIR\n"
    "\n"
    "Writes the demo library into DIR, making it and its parents: pictures of every kind the\n"
    "program reads, an album with pages and a sound, a text, a rich text, a web page, a short\n"
    "sound and a sub-folder. Files of the same names are replaced. Prints each file written.\n";

int Samples(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kSamplesHelp;
        return kExitOk;
    }
    if (args.size() != 1)
        return Usage(kSamplesHelp, "samples takes one folder");
    try {
        for (const std::string& name : vs::WriteSampleLibrary(args[0]))
            std::cout << name << '\n';
    } catch (const vs::ImageError& e) {
        std::cerr << "vantorsee-tool: " << e.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

int Fit(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kFitHelp;
        return kExitOk;
    }
    std::vector<std::string> files;
    std::optional<vs::ZoomMode> mode;
    std::optional<std::pair<int, int>> box;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--mode" || args[i] == "--box") {
            if (i + 1 == args.size())
                return Usage(kFitHelp, args[i] + " needs a value");
            const std::string& value = args[++i];
            if (args[i - 1] == "--box") {
                box = ParseSize(value);
                if (!box)
                    return Usage(kFitHelp, "--box takes WxH, for example 800x600");
                continue;
            }
            static const std::pair<const char*, vs::ZoomMode> kModes[] = {
                {"auto", vs::ZoomMode::AutoSize},       {"full", vs::ZoomMode::FullSize},
                {"half", vs::ZoomMode::HalfSize},       {"quarter", vs::ZoomMode::QuarterSize},
                {"eighth", vs::ZoomMode::EighthSize},
            };
            for (const auto& [name, m] : kModes)
                if (value == name)
                    mode = m;
            if (!mode)
                return Usage(kFitHelp, "unknown mode " + value);
        } else if (args[i].starts_with("-")) {
            return Usage(kFitHelp, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2 || !mode || !box)
        return Usage(kFitHelp, "fit takes an input, an output, --mode and --box");

    const auto picture = DecodeForViewer(files[0]);
    if (!picture)
        return kExitFailure;
    const vs::ZoomLayout layout = vs::ComputeZoomLayout(picture->width(), picture->height(), box->first, box->second, *mode);
    vs::Bitmap shown;
    vs::RenderZoomedImage(*picture, layout, *mode, shown);
    if (!Save(shown, files[1]))
        return kExitFailure;
    std::cout << layout.frameLeft << ' ' << layout.frameTop << ' ' << layout.frameWidth() << ' '
              << layout.frameHeight() << '\n';
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage(kMainHelp, "no command given");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kMainHelp;
        return kExitOk;
    }
    if (command == "decode")
        return Decode(args);
    if (command == "thumb")
        return Thumb(args);
    if (command == "fit")
        return Fit(args);
    if (command == "samples")
        return Samples(args);
    return Usage(kMainHelp, "unknown command " + command);
}
