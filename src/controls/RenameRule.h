#pragma once

#include <string>
#include <string_view>

namespace vs {

// The name an in-place rename gives a file. When oldName ends with one of the grid's known
// extensions (exact comparison), the typed text gets that extension: whatever follows its
// last "." is replaced, or the extension is appended when it has none. So a file keeps its
// type whatever the user types. Other old names leave the typed text unchanged.
std::string ForcedRenameText(std::string_view oldName, std::string_view typed);

}  // namespace vs
