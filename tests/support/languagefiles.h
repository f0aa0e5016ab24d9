#pragma once
// The language files of a folder as their translators wrote them: every text
// by its dotted key, in UTF-8, before any conversion to a code page.

#include "engine/gui/languagetable.h"

#include <map>
#include <string>

namespace testsupport {

// Every leaf text below the root element by dotted key ("Screen.Options.title").
std::map<std::string, std::string> LanguageFileTexts(const std::string& path);
// The name of the file of `id` in `folder` ("Russian1251.xml"), "" when there is none.
std::string LanguageFileName(const std::string& folder, tsv::LanguageId id);
// The texts of the file of `id` in `folder`.
std::map<std::string, std::string> LanguageTexts(const std::string& folder, tsv::LanguageId id);

} // namespace testsupport
