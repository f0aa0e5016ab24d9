#pragma once
// Level lists: any root element whose children each hold one level path as
// their text, in document order (the element names are not looked at).

#include <string>
#include <vector>

namespace bsh {

// Appends the list's paths to `list`. A list without entries (or a file that
// cannot be read) logs "Error loading level list" and appends nothing.
bool LoadLevelList(const std::string& listPath, std::vector<std::string>& list);

} // namespace bsh
