// vantorsee-tool: the program's picture loading and fitting, from the command line.

#include "dib/DibFile.h"
#include "formats/FormatRegistry.h"
#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "platform/Wave.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"
#include "tool/DibCommand.h"
#include "tool/Samples.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
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
    "  formats [--filter]          list the registered picture formats\n"
    "  fit INPUT OUTPUT.bmp --mode MODE --box WxH\n"
    "                              write the picture as the image view shows it\n"
    "  album info|extract|create   list, unpack or build XF albums (.xf, .mig)\n"
    "  dib FUNCTION INPUT.bmp OUTPUT.bmp [ARGS]\n"
    "                              run a DIB toolkit conversion on a BMP file\n"
    "  samples DIR                 fill DIR with the demo library a new user starts with\n"
    "\n"
    "Run 'vantorsee-tool COMMAND --help' for a command's options.\n"
    "Exit status: 0 on success, 1 when a picture could not be read or written, 2 on bad usage.\n";

const char* const kDecodeHelp =
    "Usage: vantorsee-tool decode INPUT OUTPUT.bmp\n"
    "\n"
    "Decodes INPUT, choosing the reader by its extension as the viewer does, and writes it\n"
    "as a 24-bit BMP. Extensions the viewer does not know go through the registered formats\n"
    "(see 'formats'), so .dib, .win, .fax, .pcc or .pdd files convert too. On failure prints\n"
    "\"Could not open INPUT\" (or that the format has no decoder here) and exits 1.\n";

const char* const kThumbHelp =
    "Usage: vantorsee-tool thumb INPUT... -o OUTDIR [--cell WxH] [-j N]\n"
    "\n"
    "Writes one thumbnail per input to OUTDIR/NAME.bmp (NAME is the input's file name), fitted\n"
    "on white into a cell of 80x60 unless --cell says otherwise, and prints NAME<TAB>SIZE for\n"
    "each input, SIZE being the picture's full size such as 640X480, empty when it could not\n"
    "be decoded. -j N makes the thumbnails on N threads (the output order stays the same).\n"
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

const char* const kAlbumHelp =
    "Usage: vantorsee-tool album info ALBUM\n"
    "       vantorsee-tool album extract ALBUM OUTDIR\n"
    "       vantorsee-tool album create OUTPUT.xf PICTURE... [--sound FILE.wav]\n"
    "\n"
    "info     prints 'pages N', one line 'INDEX WIDTH HEIGHT CODE' per page (codes: 3 halftone\n"
    "         index, 4 15-bit, 5 16-bit, 6 24-bit, 7 32-bit), then 'sound BYTES' or 'sound none'.\n"
    "extract  writes every page as a 24-bit BMP, OUTDIR/page-0.bmp, page-1.bmp, ..., and the\n"
    "         sound as OUTDIR/sound.wav when the album has one. OUTDIR is created if missing.\n"
    "create   writes a new album of the pictures (any format the viewer reads) as 24-bit pages,\n"
    "         with FILE.wav as its sound when given. A failed create leaves no file behind.\n"
    "Exits 1 with a message when an album or picture cannot be read or written.\n";
const char* const kDibHelp =
    "Usage: vantorsee-tool dib FUNCTION INPUT.bmp OUTPUT.bmp [ARGS]\n"
    "\n"
    "Loads INPUT.bmp as a DIB, calls the DIB toolkit function FUNCTION on it and writes the\n"
    "DIB it returns as OUTPUT.bmp. FUNCTION is one of DIB1To4, DIB4To8, DIB8To24, DIB1To8,\n"
    "DIB1To24, DIB4To24, DIB24To1, DIB8To1, DIB4To1, DIB24To4, DIB8To4, GrayDIB, CopyDIB,\n"
    "_DIB24To1, _DIB24To4, or DIB24To8, which takes one argument: the grey flag (0 or 1).\n"
    "The toolkit's messages appear on standard error. Exits 1 when the function returns no\n"
    "DIB or a file cannot be read or written.\n\n";

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

// Full-size 24-bit decode as the viewer does it, or through the registered formats for
// other extensions; reports "Could not open" itself.
std::optional<vs::Bitmap> DecodeForViewer(const std::string& input) {
    vs::Bitmap picture;
    const int kind = vs::ContentKindFromPath(input);
    if (vs::IsPictureKind(kind)) {
        if (vs::LoadImageByKind(input, kind, nullptr, picture))
            return picture;
    } else if (const auto* format = vs::PlatformPictureTable().FindForFile(input)) {
        if (!format->graphicClass->decode) {
            std::cerr << "vantorsee-tool: no decoder for " << format->description << " ("
                      << format->graphicClass->name << "): " << input << "\n";
            return std::nullopt;
        }
        try {
            picture = format->graphicClass->decode(vs::ReadFileBytes(input));
            picture.convertTo24();
            return picture;
        } catch (const vs::ImageError&) {
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--cell" || args[i] == "-j") {
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
                r.ok = vs::LoadMicroImageFromFile(input, vs::ImageKindFromFileName(input), thumb, r.sizeText, cellW,
                                                  cellH);
                if (r.ok)
                    vs::SaveBmpFile(thumb, (std::filesystem::path(outDir) / (name + ".bmp")).string());
            } catch (const vs::ImageError& e) {
                r.ok = false;
                r.error = e.what();
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

int Fail(const std::string& message) {
    std::cerr << "vantorsee-tool: " << message << "\n";
    return kExitFailure;
}

// Refuses files without the "XFA" magic.
void CheckMagic(const vs::XfAlbumReader& album, const std::string& path) {
    if (!album.hasMagic())
        throw vs::DecodeError(path + ": not an XF album");
}

int AlbumInfo(const std::string& path) {
    try {
        vs::XfAlbumReader album(path);
        CheckMagic(album, path);
        std::vector<vs::XfPageHeader> pages;
        for (std::int32_t i = 0; i < album.pageCount; ++i) {
            pages.push_back(album.nextPage());
            album.skipPixels(pages.back());
        }
        const auto sound = album.readSoundHeader();
        std::cout << "pages " << pages.size() << '\n';
        for (std::size_t i = 0; i < pages.size(); ++i)
            std::cout << i << ' ' << pages[i].width << ' ' << pages[i].height << ' ' << int(pages[i].code) << '\n';
        if (sound)
            std::cout << "sound " << *sound << '\n';
        else
            std::cout << "sound none\n";
        return kExitOk;
    } catch (const vs::ImageError& e) {
        return Fail(e.what());
    }
}

int AlbumExtract(const std::string& path, const std::string& outDir) {
    try {
        vs::XfAlbumReader album(path);
        CheckMagic(album, path);
        std::error_code ec;
        std::filesystem::create_directories(outDir, ec);
        if (!std::filesystem::is_directory(outDir))
            return Fail("cannot create folder " + outDir);
        const std::filesystem::path dir(outDir);
        for (std::int32_t i = 0; i < album.pageCount; ++i) {
            const vs::Bitmap page = album.readPixels(album.nextPage()).toBgr24();
            vs::SaveBmpFile(page, (dir / ("page-" + std::to_string(i) + ".bmp")).string());
        }
        if (const auto sound = album.readSoundHeader()) {
            vs::AtomicFileWriter out((dir / "sound.wav").string());
            vs::CopyBytes(album.file(), *sound, out);
            out.commit();
        }
        return kExitOk;
    } catch (const vs::ImageError& e) {
        return Fail(e.what());
    }
}

int AlbumCreate(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string sound;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--sound") {
            if (i + 1 == args.size())
                return Usage(kAlbumHelp, "--sound needs a file");
            sound = args[++i];
        } else if (args[i].starts_with("-")) {
            return Usage(kAlbumHelp, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() < 2)
        return Usage(kAlbumHelp, "album create takes an output and at least one picture");
    const std::string output = files.front();
    files.erase(files.begin());
    try {
        if (!sound.empty()) {
            vs::InputFile wave(sound);
            std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(wave.size(), 12)));
            wave.read(head);
            if (!vs::LooksLikeWave(head))
                return Fail(sound + ": not a wave file");
        }
        // Pictures are decoded one at a time as their pages are written.
        vs::WriteXfAlbum(
            output, static_cast<int>(files.size()),
            [&](int i) {
                const std::string& input = files[static_cast<std::size_t>(i)];
                vs::Bitmap picture;
                const int kind = vs::ContentKindFromPath(input);
                if (!vs::IsPictureKind(kind) || !vs::LoadImageByKind(input, kind, nullptr, picture))
                    throw vs::DecodeError("Could not open " + input);
                return picture;
            },
            sound);
        return kExitOk;
    } catch (const vs::ImageError& e) {
        return Fail(e.what());
    }
}

int Album(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kAlbumHelp;
        return kExitOk;
    }
    if (args.empty())
        return Usage(kAlbumHelp, "album needs info, extract or create");
    const std::string& sub = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (sub == "info") {
        if (rest.size() != 1)
            return Usage(kAlbumHelp, "album info takes one album");
        return AlbumInfo(rest[0]);
    }
    if (sub == "extract") {
        if (rest.size() != 2)
            return Usage(kAlbumHelp, "album extract takes an album and a folder");
        return AlbumExtract(rest[0], rest[1]);
    }
    if (sub == "create")
        return AlbumCreate(rest);
    return Usage(kAlbumHelp, "unknown album command " + sub);
}

int Dib(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << kDibHelp << vs::tool::kDibAdjustmentHelp;
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
    vs::tool::DibStep step;
    std::string problem;
    if (vs::tool::ParseDibAdjustment(name, {args.begin() + 3, args.end()}, step, problem)) {
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

}  // namespace

int main(int argc, char** argv) {
    vs::FileFormatList();  // the format catalogue exists from start-up on
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
    if (command == "album")
        return Album(args);
    if (command == "dib")
        return Dib(args);
    if (command == "formats")
        return Formats(args);
    if (command == "samples")
        return Samples(args);
    return Usage(kMainHelp, "unknown command " + command);
}
