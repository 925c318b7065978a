#pragma once

// Provisional: replaced by the shared file-system module.

#include <string>

namespace vs {

bool PathExists(const std::string& path);
bool SameFile(const std::string& a, const std::string& b);
bool IsReadOnly(const std::string& path);
bool OnSameFileSystem(const std::string& source, const std::string& target);
bool RenameReplacing(const std::string& from, const std::string& to);
bool CopyFileSafely(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& path);
std::string FileNamePart(const std::string& path);

}  // namespace vs
