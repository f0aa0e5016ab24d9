#pragma once
// The texts of the current language: which language files are present, which
// one is in use, its two fonts and its icon set, and lookups by dotted keys
// such as "Screen.Options.modeWindowed".

#include "engine/core/accesspoint.h"
#include "engine/core/util/xml/xmlelement.h"
#include "engine/gui/font.h"
#include "engine/gui/iconset.h"
#include "engine/gui/languagetable.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace tsv {

inline constexpr const char* kLanguageFolder = "data/language";

class LanguageManager : public AccessPoint<LanguageManager> {
public:
    static constexpr const char* kPartName = "the language manager";
    LanguageManager();

    // Whether a switch writes the language into the settings.
    enum class ESetting { Store, Keep };

    // Start-up: scans `folder` and switches in a language: `forcedName` when
    // given (this run only), else the "language" setting, else the one the
    // locale identifier selects. False, with the program asked to stop, when
    // the folder holds no language.
    bool Start(const std::string& folder, const std::string& forcedName, uint32_t systemLocaleId);

    // Finds the languages present in the folder; returns how many files matched.
    int Scan(const std::string& folder);
    bool IsAvailable(LanguageId id) const { return m_available.count(id) != 0; }
    const std::set<LanguageId>& Available() const { return m_available; }

    // Makes `id` current and loads its file, fonts and icon set.
    void SwitchLanguage(LanguageId id, ESetting setting = ESetting::Store);
    LanguageId GetCurrent() const { return m_current; }
    uint32_t GetCodePage() const { return m_codePage; }

    // "$Key.Path" is looked up; any other text is returned as it is. A missing
    // key logs and gives "".
    std::string GetText(const std::string& text) const;
    // The element's text for a key, or false (with an Error) when it is missing.
    bool Lookup(const std::string& key, std::string& out) const;

    // A language's own name ("languageName" of its file, in the file's code
    // page) and the file's body font ("font2"), to show the name as its
    // speakers write it whatever the current language; an empty text when
    // the file has none. Read once per language.
    struct OwnName {
        std::string text;
        uint32_t codePage = 0;
        std::string fontPath;
    };
    const OwnName& GetOwnName(LanguageId id) const;

    // Font 0 is the file's "font1", font 1 its "font2"; null for other ids
    // and empty slots.
    const Font* GetFont(int32_t id) const;
    const IconSet& GetIcons() const { return m_icons; }

    // Back to the state before Start (tests).
    void Reset();

    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

private:
    void LoadLanguageFile(const std::string& name);
    // The file of the language of that name in the folder, "" when none.
    std::string FindLanguageFile(const std::string& name) const;
    const XMLElement* FindElement(const std::string& key) const;

    std::string m_folder = kLanguageFolder;
    std::set<LanguageId> m_available;
    LanguageId m_current = kNoLanguage;
    uint32_t m_codePage = 0;
    IntrusivePtr<XMLElement> m_texts;
    FontPtr m_fonts[2];
    IconSet m_icons;
    mutable std::map<LanguageId, OwnName> m_ownNames;
};

// The code page a language file's name gives: its first run of digits, or 0.
uint32_t CodePageFromFileName(const std::string& name);

} // namespace tsv
