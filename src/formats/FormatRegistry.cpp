#include "formats/FormatRegistry.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <utility>

namespace vs {

namespace {

// A string list with an attached text, optionally sorted. A sorted list ignores letter case
// and keeps one string of equal ones; adding an equal string again replaces its text.
class StringList {
public:
    explicit StringList(bool sorted) : sorted_(sorted) {}
    void Add(const std::string& s, const std::string& text = {}) {
        if (!sorted_) {
            items_.emplace_back(s, text);
            return;
        }
        auto it = std::lower_bound(items_.begin(), items_.end(), s,
                                   [](const auto& item, const std::string& key) { return LessIgnoringCase(item.first, key); });
        if (it != items_.end() && EqualsIgnoringCase(it->first, s))
            it->second = text;
        else
            items_.emplace(it, s, text);
    }
    void Clear() { items_.clear(); }
    bool Empty() const { return items_.empty(); }
    std::string Joined() const {
        std::string out;
        for (const auto& [s, text] : items_)
            out += (out.empty() ? "" : "; ") + s;
        return out;
    }
    const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }

private:
    bool sorted_;
    std::vector<std::pair<std::string, std::string>> items_;
};

}  // namespace

const GraphicClass TBitmap{"TBitmap"};
const GraphicClass TIcon{"TIcon"};
const GraphicClass TMetafile{"TMetafile"};
const GraphicClass TJPEGImage{"TJPEGImage"};
const GraphicClass TTargaGraphic{"TTargaGraphic"};
const GraphicClass TTIFFGraphic{"TTIFFGraphic"};
const GraphicClass TPCXGraphic{"TPCXGraphic"};
const GraphicClass TRLAGraphic{"TRLAGraphic"};
const GraphicClass TSGIGraphic{"TSGIGraphic"};
const GraphicClass TPSDGraphic{"TPSDGraphic"};
const GraphicClass TPPMGraphic{"TPPMGraphic"};
const GraphicClass TAutodeskGraphic{"TAutodeskGraphic"};
const GraphicClass TPCDGraphic{"TPCDGraphic"};
const GraphicClass TCUTGraphic{"TCUTGraphic"};
const GraphicClass TPSPGraphic{"TPSPGraphic"};
const GraphicClass TPNGGraphic{"TPNGGraphic"};

void PictureFormatTable::Register(std::string_view extension, std::string_view description,
                                  TGraphicClass graphicClass) {
    entries_[AsciiLower(extension)] = Entry{std::string(description), graphicClass};
}

void PictureFormatTable::UnregisterClass(TGraphicClass graphicClass) {
    std::erase_if(entries_, [graphicClass](const auto& item) { return item.second.graphicClass == graphicClass; });
}

void PictureFormatTable::UnregisterExtension(std::string_view extension) { entries_.erase(AsciiLower(extension)); }

const PictureFormatTable::Entry* PictureFormatTable::FindForFile(std::string_view fileName) const {
    const auto slash = fileName.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return nullptr;
    const auto it = entries_.find(AsciiLower(name.substr(dot + 1)));
    return it == entries_.end() ? nullptr : &it->second;
}

TFileFormatList::~TFileFormatList() { Clear(); }

void TFileFormatList::RegisterStandardFormats() {
    const TFormatTypes raster = FormatSet({ftRaster});
    const TFormatTypes vector = FormatSet({ftVector});
    const TFormatTypes multi = FormatSet({ftMultiImage, ftRaster});
    const TFormatTypes layered = FormatSet({ftLayered, ftRaster});
    struct Row {
        const char* ext;
        const char* common;
        const char* individual;
        TFormatTypes types;
        TGraphicClass cls;
    };
    static const Row kRows[] = {
        {"bmp", "Windows bitmaps", "", raster, &TBitmap},
        {"ico", "Windows icons", "", raster, &TIcon},
        {"wmf", "Windows metafiles", "", vector, &TMetafile},
        {"emf", "Windows metafiles", "Windows enhanced meta files", vector, &TMetafile},
        {"jpg", "JPG images", "", raster, &TJPEGImage},
        {"jpeg", "", "JPEG images", raster, &TJPEGImage},
        {"rle", "Windows bitmaps", "Run length encoded Windows bitmaps", raster, &TBitmap},
        {"dib", "", "Device independant Windows bitmaps", raster, &TBitmap},
        {"win", "Truevision images", "", raster, &TTargaGraphic},
        {"vst", "", "", raster, &TTargaGraphic},
        {"vda", "", "", raster, &TTargaGraphic},
        {"tga", "", "", raster, &TTargaGraphic},
        {"icb", "", "", raster, &TTargaGraphic},
        {"tiff", "Tagged image file format images", "Macintosh TIFF images", multi, &TTIFFGraphic},
        {"tif", "", "PC TIF images", multi, &TTIFFGraphic},
        {"fax", "", "GFI fax images", multi, &TTIFFGraphic},
        {"pcx", "ZSoft Paintbrush images", "", raster, &TPCXGraphic},
        {"pcc", "", "", raster, &TPCXGraphic},
        {"scr", "", "Word 5.x screen capture images", raster, &TPCXGraphic},
        {"rpf", "Alias/Wavefront images", "", raster, &TRLAGraphic},
        {"rla", "", "", raster, &TRLAGraphic},
        {"sgi", "SGI images", "SGI true color images", raster, &TSGIGraphic},
        {"rgba", "", "SGI true color images with alpha", raster, &TSGIGraphic},
        {"rgb", "", "SGI true color images", raster, &TSGIGraphic},
        {"bw", "", "SGI black/white images", raster, &TSGIGraphic},
        {"psd", "Photoshop images", "", layered, &TPSDGraphic},
        {"pdd", "", "", layered, &TPSDGraphic},
        {"ppm", "Portable map images", "Portable pixel map images", raster, &TPPMGraphic},
        {"pgm", "", "Portable gray map images", raster, &TPPMGraphic},
        {"pbm", "", "Portable bitmap images", raster, &TPPMGraphic},
        {"cel", "Autodesk images", "", raster, &TAutodeskGraphic},
        {"pic", "Autodesk images", "", raster, &TAutodeskGraphic},
        {"pcd", "Kodak Photo-CD images", "", raster, &TPCDGraphic},
        {"cut", "Dr. Halo images", "", raster, &TCUTGraphic},
        {"psp", "Paintshop Pro images", "", FormatSet({ftRaster, ftVector}), &TPSPGraphic},
        {"png", "Portable network graphic images", "", raster, &TPNGGraphic},
    };
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        RegisterFileFormat(kRows[i].ext, kRows[i].common, kRows[i].individual, kRows[i].types, false, i >= 6,
                           kRows[i].cls);
}

void TFileFormatList::UnregisterStandardReaders() {
    for (TGraphicClass cls : {&TTargaGraphic, &TTIFFGraphic, &TPCXGraphic, &TRLAGraphic, &TSGIGraphic, &TPSDGraphic,
                              &TPPMGraphic, &TAutodeskGraphic, &TPCDGraphic, &TCUTGraphic, &TPSPGraphic})
        UnregisterFileFormat("", cls);
    UnregisterFileFormat("rle", &TBitmap);
    UnregisterFileFormat("dib", &TBitmap);
    UnregisterFileFormat("", &TPNGGraphic);
}

int TFileFormatList::FindExtension(std::string_view extension) const {
    if (extension.empty())
        return -1;
    for (std::size_t i = 0; i < extensions_.size(); ++i)
        if (EqualsIgnoringCase(extensions_[i].extension, extension))
            return static_cast<int>(i);
    return -1;
}

int TFileFormatList::FindGraphicClass(TGraphicClass graphicClass) const {
    for (std::size_t i = 0; i < classes_.size(); ++i)
        if (classes_[i].graphicClass == graphicClass)
            return static_cast<int>(i);
    return -1;
}

TFileFormatList::ClassEntry* TFileFormatList::EntryOf(TGraphicClass graphicClass) {
    const int i = FindGraphicClass(graphicClass);
    return i < 0 ? nullptr : &classes_[static_cast<std::size_t>(i)];
}

const TFileFormatList::ClassEntry* TFileFormatList::EntryOf(TGraphicClass graphicClass) const {
    const int i = FindGraphicClass(graphicClass);
    return i < 0 ? nullptr : &classes_[static_cast<std::size_t>(i)];
}

TFileFormatList::ClassEntry& TFileFormatList::Attach(TGraphicClass graphicClass, std::string_view commonDescription) {
    ClassEntry* entry = EntryOf(graphicClass);
    if (!entry)
        entry = &classes_.emplace_back(ClassEntry{graphicClass, {}, 0});
    if (!commonDescription.empty())
        entry->description = std::string(commonDescription);
    ++entry->count;
    return *entry;
}

// One extension entry less for this class; the class entry goes with its last extension.
void TFileFormatList::Release(TGraphicClass graphicClass) {
    const int i = FindGraphicClass(graphicClass);
    if (i >= 0 && --classes_[static_cast<std::size_t>(i)].count <= 0)
        classes_.erase(classes_.begin() + i);
}

void TFileFormatList::RegisterFileFormat(std::string_view extension, std::string_view commonDescription,
                                         std::string_view individualDescription, TFormatTypes formatTypes,
                                         bool replace, bool /*registerAsDefault: no effect*/,
                                         TGraphicClass graphicClass) {
    if (extension.empty())
        return;
    const int index = FindExtension(extension);
    if (index < 0) {
        extensions_.push_back({std::string(extension), std::string(individualDescription), formatTypes, graphicClass});
        Attach(graphicClass, commonDescription);
    } else if (!replace) {
        throw InvalidGraphicError("Attempt to register " + std::string(extension) + " files twice.");
    } else {
        ExtensionEntry& entry = extensions_[static_cast<std::size_t>(index)];
        if (entry.graphicClass != graphicClass) {
            const TGraphicClass old = entry.graphicClass;
            Attach(graphicClass, commonDescription);
            entry.graphicClass = graphicClass;
            Release(old);
        }
    }
    const ClassEntry* cls = EntryOf(graphicClass);
    table_.Register(extension, individualDescription.empty() && cls ? std::string_view(cls->description)
                                                                     : individualDescription,
                    graphicClass);
}

void TFileFormatList::UnregisterFileFormat(std::string_view extension, TGraphicClass graphicClass) {
    if (!extension.empty()) {
        const int index = FindExtension(extension);
        if (index < 0)
            return;
        const TGraphicClass cls = extensions_[static_cast<std::size_t>(index)].graphicClass;
        ClassEntry* entry = EntryOf(cls);
        if (entry && --entry->count <= 0) {
            table_.UnregisterClass(cls);
            classes_.erase(classes_.begin() + FindGraphicClass(cls));
        }
        // The platform table forgets this extension too, so a format the catalogue no longer
        // knows cannot still be loaded by name while its class has other extensions.
        table_.UnregisterExtension(extension);
        extensions_.erase(extensions_.begin() + index);
        return;
    }
    ClassEntry* entry = EntryOf(graphicClass);
    if (!entry)
        return;
    for (std::size_t i = extensions_.size(); i-- > 0 && entry->count > 0;)
        if (extensions_[i].graphicClass == graphicClass) {
            extensions_.erase(extensions_.begin() + static_cast<std::ptrdiff_t>(i));
            --entry->count;
        }
    classes_.erase(classes_.begin() + FindGraphicClass(graphicClass));
    table_.UnregisterClass(graphicClass);
}

void TFileFormatList::GetExtensionList(std::vector<std::string>& strings) const {
    strings.clear();
    for (const auto& e : extensions_)
        strings.push_back(e.extension);
}

TGraphicClass TFileFormatList::GetGraphicClassFor(std::string_view fileName) const {
    const auto slash = fileName.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = name.find('.');
    if (dot != std::string_view::npos)
        name = name.substr(dot + 1);
    const int index = FindExtension(name);
    return index < 0 ? nullptr : extensions_[static_cast<std::size_t>(index)].graphicClass;
}

std::string TFileFormatList::GetGraphicFilter(TFormatTypes formatTypes, TFilterSortType sortType,
                                              TFilterOptions options, TGraphicClass graphicClass) const {
    if (formatTypes == 0)
        formatTypes = kAllFormatTypes;
    const bool sortDescriptions = sortType == fstBoth || sortType == fstDescription;
    const bool sortExtensions = sortType == fstBoth || sortType == fstExtension;
    const bool includeAll = (options & OptionSet({foIncludeAll})) != 0;
    const bool withExtension = (options & OptionSet({foIncludeExtension})) != 0;
    StringList descriptions(sortDescriptions);
    StringList classExtensions(sortExtensions);
    StringList all(sortExtensions);

    if (options & OptionSet({foCompact})) {
        for (const ClassEntry& cls : classes_) {
            if (graphicClass && cls.graphicClass != graphicClass)
                continue;
            classExtensions.Clear();
            for (const auto& e : extensions_)
                if (e.graphicClass == cls.graphicClass && (e.formatTypes & formatTypes) != 0) {
                    classExtensions.Add("*." + e.extension);
                    if (includeAll)
                        all.Add("*." + e.extension);
                }
            const std::string patterns = classExtensions.Joined();
            if (!patterns.empty())
                descriptions.Add(cls.description, patterns);
        }
    } else {
        for (const auto& e : extensions_) {
            if ((graphicClass && e.graphicClass != graphicClass) || (e.formatTypes & formatTypes) == 0)
                continue;
            const ClassEntry* cls = EntryOf(e.graphicClass);
            descriptions.Add(e.description.empty() && cls ? cls->description : e.description, "*." + e.extension);
            if (includeAll)
                all.Add("*." + e.extension);
        }
    }

    std::string result;
    if (includeAll && !all.Empty())
        result += "All images|" + all.Joined() + "|";
    for (const auto& [description, patterns] : descriptions.Items()) {
        result += description;
        if (withExtension)
            result += " (" + patterns + ")";
        result += "|" + patterns + "|";
    }
    if (!result.empty())
        result.pop_back();
    return result;
}

void TFileFormatList::Clear() {
    for (const ClassEntry& cls : classes_)
        table_.UnregisterClass(cls.graphicClass);
    classes_.clear();
    extensions_.clear();
}

namespace {

struct FormatLibrary {
    PictureFormatTable table;
    TFileFormatList list{table};
    FormatLibrary() { list.RegisterStandardFormats(); }
    ~FormatLibrary() { list.UnregisterStandardReaders(); }
};

FormatLibrary& Library() {
    static FormatLibrary library;
    return library;
}

}  // namespace

PictureFormatTable& PlatformPictureTable() { return Library().table; }
TFileFormatList& FileFormatList() { return Library().list; }

}  // namespace vs
