// vantorsee-tool: the program's picture loading, fitting, albums and DIB toolkit, from the
// command line. Each command lives in its own file; this one only picks it.

#include "formats/FormatRegistry.h"
#include "tool/ToolCommon.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

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
    "  thumbnail [-s SIZE] INPUT OUTPUT.png\n"
    "                              write a desktop thumbnail (PNG with Thumb:: text chunks)\n"
    "  samples DIR                 fill DIR with the demo library a new user starts with\n"
    "\n"
    "Run 'vantorsee-tool COMMAND --help' for a command's options.\n"
    "Exit status: 0 on success, 1 when a picture could not be read or written, 2 on bad usage.\n";


}  // namespace

int main(int argc, char** argv) {
    using namespace vs::tool;
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
    if (command == "thumbnail")
        return Thumbnail(args);
    if (command == "samples")
        return Samples(args);
    return Usage(kMainHelp, "unknown command " + command);
}

