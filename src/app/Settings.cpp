#include "app/Settings.h"

namespace vs {

namespace {
constexpr std::string_view kPhotoFolderValue = "Photo Folder";
constexpr std::string_view kTrashValue = "Move To Trash";
}

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

bool LoadTrashSetting(SettingsKey& key) {
    if (key.ValueExists(kTrashValue))
        return key.ReadBool(kTrashValue);
    key.WriteBool(kTrashValue, false);
    return false;
}

void SaveTrashSetting(SettingsKey& key, bool moveToTrash) { key.WriteBool(kTrashValue, moveToTrash); }

}  // namespace vs
