// vantorsee-tool album: list, unpack and build XF albums.

#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "platform/Wave.h"
#include "tool/ToolCommon.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace vs::tool {

namespace {

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
                if (!vs::IsPicture(kind) || !vs::LoadImageByKind(input, kind, nullptr, picture))
                    throw vs::DecodeError("Could not open " + input);
                return picture;
            },
            sound);
        return kExitOk;
    } catch (const vs::ImageError& e) {
        return Fail(e.what());
    }
}

}  // namespace

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

}  // namespace vs::tool
