#pragma once

#include "app/RegistryFile.h"
#include "controls/FileTypes.h"

#include <string>

namespace vs {

// Reads "Photo Folder" and the thirteen stored type flags. A missing value is written with
// the current default (photoFolder as given, a flag as true). Throws SettingsError from the
// first value of the wrong type or the first write that fails; the values before it are
// already applied, the ones after it are not.
void LoadSettings(SettingsKey& key, std::string& photoFolder, TypeFlags& flags);

// Writes "Photo Folder" and the thirteen stored flags, in that order.
void SaveSettings(SettingsKey& key, const std::string& photoFolder, const TypeFlags& flags);

// "Move To Trash": whether deleted files and folders go to the desktop's Trash. Off when the
// value is missing; then it is written as off, as the other values are.
bool LoadTrashSetting(SettingsKey& key);
void SaveTrashSetting(SettingsKey& key, bool moveToTrash);

}  // namespace vs
