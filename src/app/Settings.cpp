#include "app/Settings.h"

namespace vs {

namespace {
constexpr std::string_view kPhotoFolderValue = "Photo Folder";
constexpr std::string_view kTrashValue = "Move To Trash";
constexpr std::string_view kFoldPanel1Value = "FoldPanel1 Folded";
constexpr std::string_view kFoldPanel2Value = "FoldPanel2 Folded";
}  // namespace

void LoadSettings(SettingsKey& key, std::string& photoFolder, TypeFlags& flags) {
    if (key.ValueExists(kPhotoFolderValue))
        photoFolder = key.ReadString(kPhotoFolderValue);
    else
        key.WriteString(kPhotoFolderValue, photoFolder);
    for (const int type : StoredFlagOrder()) {
        const std::string_view name = FileTypes()[static_cast<std::size_t>(type)].suffix;
        bool& flag = flags[static_cast<std::size_t>(type)];
        if (key.ValueExists(name)) {
            flag = key.ReadBool(name);
        } else {
            flag = true;
            key.WriteBool(name, true);
        }
    }
}

void SaveSettings(SettingsKey& key, const std::string& photoFolder, const TypeFlags& flags) {
    key.WriteString(kPhotoFolderValue, photoFolder);
    for (const int type : StoredFlagOrder())
        key.WriteBool(FileTypes()[static_cast<std::size_t>(type)].suffix, flags[static_cast<std::size_t>(type)]);
}

bool ReadOwnBool(const SettingsKey& key, std::string_view name, bool fallback) {
    try {
        return key.ValueExists(name) ? key.ReadBool(name) : fallback;
    } catch (const SettingsError&) {
        return fallback;
    }
}

FoldPanelState LoadFoldPanelState(const SettingsKey& key) {
    return {ReadOwnBool(key, kFoldPanel1Value, false), ReadOwnBool(key, kFoldPanel2Value, false)};
}

void SaveFoldPanelState(SettingsKey& key, const FoldPanelState& state) {
    key.WriteBool(kFoldPanel1Value, state.foldPanel1);
    key.WriteBool(kFoldPanel2Value, state.foldPanel2);
}

bool LoadTrashSetting(const SettingsKey& key) { return ReadOwnBool(key, kTrashValue, false); }

void SaveTrashSetting(SettingsKey& key, bool moveToTrash) { key.WriteBool(kTrashValue, moveToTrash); }

}  // namespace vs
