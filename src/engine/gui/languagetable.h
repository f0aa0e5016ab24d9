#pragma once
// The fixed table of languages the game knows, and how the user's locale
// picks one of them.

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

using LanguageId = int32_t;

inline constexpr LanguageId kNoLanguage = -1;
inline constexpr LanguageId kEnglish = 0;
inline constexpr LanguageId kKorean = 11;
inline constexpr LanguageId kJapan = 12;
inline constexpr LanguageId kChinese = 13;
inline constexpr int32_t kLanguageCount = 14;

// "English", "Deutsch", ... by id; "" outside the table.
const char* LanguageName(LanguageId id);
// The first language (in table order) whose name occurs anywhere in `name`,
// ignoring case: "Russian1251.xml" is Russian. -1 when none does.
LanguageId LanguageFromName(const std::string& name);
// Languages whose captions keep their natural scale.
inline bool IsEastAsian(LanguageId id) { return id == kKorean || id == kJapan || id == kChinese; }
// Languages written without blanks between words: their lines break between
// any two characters. Korean puts blanks between words and breaks there.
inline bool BreaksBetweenAnyCharacters(LanguageId id) { return id == kJapan || id == kChinese; }

// The language a Windows locale identifier selects; English for any other.
LanguageId LanguageFromLocaleId(uint32_t localeId);
// The Windows locale identifier for a POSIX locale name such as "de_AT.UTF-8"
// or "uz_UZ@cyrillic"; 0 for "C", "POSIX", "" and names not in the table.
uint32_t LocaleIdFromPosixName(const std::string& name);
// Every POSIX name the mapping knows (for checking that each identifier of
// the language table can be reached).
std::vector<std::string> KnownPosixLocales();
// The user's locale from LC_ALL, then LC_MESSAGES, then LANG, as an identifier.
uint32_t SystemLocaleId();

} // namespace tsv
