// The picture commands of vantorsee-tool: decode, thumb, fit, formats, samples.

#include "formats/FormatRegistry.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "tool/Samples.h"
#include "tool/ToolCommon.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <thread>

namespace vs::tool {

namespace {

const char* const kDecodeHelp =
    "Usage: vantorsee-tool decode INPUT OUTPUT.bmp\n"
    "\n"
    "Decodes INPUT, choosing the reader by its extension as the viewer does, and writes it\n"
    "as a 24-bit BMP. Extensions the viewer does not know go through the registered formats\n"
    "(see 'formats'), so .dib, .win, .fax, .pcc or .pdd files convert too. On failure prints\n"
    "\"Could not open INPUT\" (or that the format has no decoder here) and exits 1.\n";

const char* const kThumbHelp =
    "Usage: vantorsee-tool thumb INPUT... -o OUTDIR [--cell WxH] [-j N] [--no-preview]\n"
    "\n"
    "Writes one thumbnail per input to OUTDIR/NAME.bmp (NAME is the input's file name), fitted\n"
    "on white into a cell of 80x60 unless --cell says otherwise, and prints NAME<TAB>SIZE for\n"
    "each input, SIZE being the picture's full size such as 640X480, empty when it could not\n"
    "be decoded. -j N makes the thumbnails on N threads (the output order stays the same).\n"
    "Pictures stand as their orientation tag says. Like the grid, a camera JPEG's thumbnail\n"
    "comes from its embedded preview when that fills the cell; --no-preview decodes the\n"
    "picture itself.\n"
    "Exits 1 when any input failed.\n";

const char* const kFormatsHelp =
    "Usage: vantorsee-tool formats [--filter]\n"
    "\n"
    "Prints the registered picture file extensions in registration order, one a line, or with\n"
    "--filter the open-dialog filter of all of them (all types, no sorting, with the\n"
    "\"All images\" entry).\n";

const char* const kFitHelp =
    "Usage: vantorsee-tool fit INPUT OUTPUT.bmp --mode auto|full|half|quarter|eighth --box WxH\n"
    "\n"
    "Writes the picture the image view shows for INPUT in a content area of WxH pixels at the\n"
    "given zoom mode, and prints the image frame as: left top width height\n";


}  // namespace

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
    int threads = 1;
    bool usePreview = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--no-preview") {
            usePreview = false;
        } else if (args[i] == "-o" || args[i] == "--cell" || args[i] == "-j") {
            if (i + 1 == args.size())
                return Usage(kThumbHelp, args[i] + " needs a value");
            const std::string& value = args[++i];
            if (args[i - 1] == "-o") {
                outDir = value;
            } else if (args[i - 1] == "-j") {
                char* end = nullptr;
                const long n = std::strtol(value.c_str(), &end, 10);
                if (*end != '\0' || n < 1 || n > 256)
                    return Usage(kThumbHelp, "-j takes a number of threads from 1 to 256");
                threads = static_cast<int>(n);
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

    // Each input is independent: workers take the next one, results are printed in order.
    struct Result {
        std::string sizeText;
        std::string error;
        bool ok = false;
    };
    std::vector<Result> results(inputs.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < inputs.size(); i = next++) {
            const std::string& input = inputs[i];
            const std::string name = std::filesystem::path(input).filename().string();
            Result& r = results[i];
            vs::Bitmap thumb;
            try {
                r.ok = vs::LoadMicroImageFromFile(input, vs::ImageKindFromFileName(input), thumb, r.sizeText,
                                                  vs::CellHint{cellW, cellH, usePreview}, cellW, cellH);
                if (r.ok)
                    vs::SaveBmpFile(thumb, (std::filesystem::path(outDir) / (name + ".bmp")).string());
            } catch (const std::exception& e) {
                // Whatever one file throws (out of memory too) fails that file only: an
                // exception leaving a worker thread would end the program.
                r.ok = false;
                r.error = e.what();
            } catch (...) {
                r.ok = false;
                r.error = "cannot make a thumbnail of " + input;
            }
            if (!r.ok)
                r.sizeText.clear();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min<int>(threads, static_cast<int>(inputs.size())); ++t)
        pool.emplace_back(work);
    work();
    for (auto& t : pool)
        t.join();

    int status = kExitOk;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (!results[i].error.empty())
            std::cerr << "vantorsee-tool: " << results[i].error << "\n";
        if (!results[i].ok)
            status = kExitFailure;
        std::cout << std::filesystem::path(inputs[i]).filename().string() << '\t' << results[i].sizeText << '\n';
    }
    return status;
}

int Formats(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kFormatsHelp;
        return kExitOk;
    }
    if (args.size() > 1 || (args.size() == 1 && args[0] != "--filter"))
        return Usage(kFormatsHelp, "formats takes only --filter");
    if (!args.empty()) {
        std::cout << vs::FileFormatList().GetGraphicFilter(0, vs::fstNone, vs::OptionSet({vs::foIncludeAll}), nullptr)
                  << "\n";
        return kExitOk;
    }
    std::vector<std::string> extensions;
    vs::FileFormatList().GetExtensionList(extensions);
    for (const auto& e : extensions)
        std::cout << e << "\n";
    return kExitOk;
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

}  // namespace vs::tool
