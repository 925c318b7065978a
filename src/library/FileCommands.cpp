#include "library/FileCommands.h"

#include "platform/FileSystem.h"
#include "platform/Prompts.h"

#include <filesystem>

namespace vs {

namespace {

// U+FF01, the full-width exclamation mark of the original message.
constexpr const char* kFullWidthExclamation = "\xEF\xBC\x81";

// Where a move got to.
enum class MoveOutcome { CopyFailed, CopiedOnly, Moved };

// Moves one file, replacing target. The target is complete and on disk before the source
// goes; the same file reached twice is never touched. Within one file system a rename does
// it at once; a read-only source takes the long way so that, as with any copy and delete,
// it stays where it is.
MoveOutcome MoveOneFile(const std::string& source, const std::string& target,
                        const std::function<void(const std::string&)>& releaseFile) {
    if (IsSameFile(source, target))
        return MoveOutcome::CopyFailed;
    if (!IsReadOnlyEntry(source)) {
        if (releaseFile)
            releaseFile(source);
        if (RenameReplacing(source, target))
            return MoveOutcome::Moved;
    }
    if (!CopyPlainFile(source, target, true))
        return MoveOutcome::CopyFailed;
    if (releaseFile)
        releaseFile(source);
    return DeletePlainFile(source) ? MoveOutcome::Moved : MoveOutcome::CopiedOnly;
}

}  // namespace

void TakeToClipboard(FileClipboardState& clip, const FileGrid& grid, bool isCut) {
    clip.names.emplace();
    clip.folder = grid.Folder();
    for (int i = 0; i < grid.Count(); ++i)
        if (grid.Selected(i))
            clip.names->push_back(grid.RealName(i));
    if (clip.names->empty())
        clip.names.reset();
    clip.isCut = isCut;
}

bool PasteFromClipboard(const FileClipboardState& clip, FileGrid& grid, FileCommandContext& ctx) {
    if (!clip.names)
        return true;
    const std::string folder = grid.Folder();
    if (clip.folder == folder) {
        ctx.prompts.message(std::string("Error") + kFullWidthExclamation + "Source same as Traget !", "", Buttons::Ok,
                            Icon::None);
        return false;
    }
    ctx.progress.Begin(static_cast<int>(clip.names->size()));
    for (const std::string& name : *clip.names) {
        ctx.progress.Step();
        const std::string source = clip.folder + name;
        const std::string target = folder + name;
        if (EntryExists(target)) {
            const Answer answer = ctx.prompts.message(target + "already exist!\nreplace ?", "Waring",
                                                      Buttons::YesNoCancel, Icon::Question);
            if (answer == Answer::Cancel) {
                ctx.progress.End();
                return false;
            }
            if (answer != Answer::Yes || !CopyPlainFile(source, target, true))
                continue;
            for (int i = 0; i < grid.Count(); ++i) {
                if (grid.RealName(i) == name) {
                    grid.Remove(i);
                    grid.Add(name);  // its thumbnail is made again
                    if (clip.isCut)
                        DeletePlainFile(source);
                    break;
                }
            }
            continue;
        }
        if (!CopyPlainFile(source, target, true))
            continue;
        grid.Add(name);
        if (clip.isCut)
            DeletePlainFile(source);
    }
    grid.Refresh();
    ctx.progress.End();
    return true;
}

void DeleteSelectedFiles(FileGrid& grid, FileCommandContext& ctx) {
    ctx.changesEnabled = false;
    ctx.progress.Begin(grid.Count());
    const std::string folder = grid.Folder();
    for (int i = 0; i < grid.Count();) {
        if (grid.Selected(i)) {
            const std::string path = folder + grid.RealName(i);
            if (ctx.releaseFile)
                ctx.releaseFile(path);
            // An item whose file is still there (read-only, say) stays, so the grid never
            // claims a delete that did not happen.
            if (ctx.deleteFile(path))
                grid.Remove(i);
            else
                ++i;
        } else {
            ++i;
        }
        ctx.progress.Step();
    }
    grid.SelectLast();
    ctx.progress.End();
    ctx.changesEnabled = true;
}

void MoveSelectedFiles(FileGrid& grid, const std::string& targetFolder, FileCommandContext& ctx) {
    bool any = false;
    for (int i = 0; i < grid.Count() && !any; ++i) any = grid.Selected(i);
    const std::string folder = grid.Folder();
    if (!any || targetFolder == folder)
        return;
    ctx.changesEnabled = false;
    ctx.progress.Begin(grid.Count());
    for (int i = 0; i < grid.Count();) {
        bool removed = false;
        if (grid.Selected(i)) {
            const std::string name = grid.RealName(i);
            const std::string source = folder + name;
            const std::string target = targetFolder + name;
            if (EntryExists(target)) {
                const Answer answer = ctx.prompts.message(target + " Already exist !\nReplace ?", "Replace",
                                                          Buttons::YesNoCancel, Icon::Question);
                if (answer == Answer::Cancel) {
                    ctx.progress.End();
                    ctx.changesEnabled = true;
                    return;
                }
                if (answer == Answer::Yes)
                    removed = MoveOneFile(source, target, ctx.releaseFile) == MoveOutcome::Moved;
            } else {
                const MoveOutcome outcome = MoveOneFile(source, target, ctx.releaseFile);
                if (outcome == MoveOutcome::CopyFailed)
                    ctx.prompts.message("Could not move " + grid.Caption(i), "", Buttons::Ok, Icon::None);
                removed = outcome == MoveOutcome::Moved;
            }
        }
        if (removed)
            grid.Remove(i);
        else
            ++i;
        ctx.progress.Step();
    }
    ctx.progress.End();
    ctx.changesEnabled = true;
}

std::vector<std::string> CopyFilesInto(const std::vector<std::string>& paths, const std::string& targetFolder,
                                       Prompts& prompts, BulkProgress& progress) {
    std::vector<std::string> copied;
    progress.Begin(static_cast<int>(paths.size()));
    for (const std::string& path : paths) {
        progress.Step();
        const std::string name = std::filesystem::path(path).filename().string();
        const std::string target = targetFolder + name;
        if (EntryExists(target)) {
            const Answer answer = prompts.message(target + " Already exist !\nReplace ?", "Replace",
                                                  Buttons::YesNoCancel, Icon::Question);
            if (answer == Answer::Cancel)
                break;
            if (answer == Answer::Yes && CopyPlainFile(path, target, true))
                copied.push_back(name);
        } else if (!name.empty() && CopyPlainFile(path, target, true)) {
            copied.push_back(name);
        } else {
            prompts.message("Could not copy " + (name.empty() ? path : name), "", Buttons::Ok, Icon::None);
        }
    }
    progress.End();
    return copied;
}

}  // namespace vs
