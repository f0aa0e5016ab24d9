#include "engine/gui/languagemanager.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/util/file/directory.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/runtime/application.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tsv {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

uint32_t CodePageFromFileName(const std::string& name)
{
    const size_t first = name.find_first_of("0123456789");
    if (first == std::string::npos) {
        return 0;
    }
    const size_t end = name.find_first_not_of("0123456789", first);
    return static_cast<uint32_t>(std::strtoul(name.substr(first, end - first).c_str(), nullptr, 10));
}

LanguageManager::LanguageManager()
{
    SetIconProvider([this](const std::string& name) { return m_icons.CreateIcon(name); });
}

void LanguageManager::Reset()
{
    m_folder = kLanguageFolder;
    m_available.clear();
    m_current = kNoLanguage;
    m_codePage = 0;
    m_texts.Reset();
    m_fonts[0].Reset();
    m_fonts[1].Reset();
    m_ownNames.clear();
    m_icons.Clear();
}

int LanguageManager::Scan(const std::string& folder)
{
    m_folder = folder;
    m_available.clear();
    int found = 0;
    Directory dir;
    if (!dir.Open(folder) || !dir.FindFirstEntry()) {
        return 0;
    }
    do {
        if (dir.GetEntryType() != BaseDirectory::EEntryType::File) {
            continue;
        }
        const LanguageId id = LanguageFromName(dir.GetEntryName());
        if (id != kNoLanguage) {
            m_available.insert(id);
            ++found;
            GetLog() << Hint << "Found resources for language: " << LanguageName(id) << EndL;
        }
    } while (dir.FindNextEntry());
    return found;
}

bool LanguageManager::Start(const std::string& folder, const std::string& forcedName, uint32_t systemLocaleId)
{
    if (Scan(folder) == 0) {
        GetLog() << Error << "Language resources not found: program stopped" << EndL;
        Application::Instance().Exit(1);
        return false;
    }
    if (!forcedName.empty()) {
        const LanguageId forced = LanguageFromName(forcedName);
        if (IsAvailable(forced)) {
            SwitchLanguage(forced, ESetting::Keep);
            return true;
        }
        GetLog() << Warning << "No resources for language \"" << forcedName << "\"" << EndL;
    }
    Config& config = GetConfig();
    LanguageId id = LanguageFromName(config.language);
    if (id == kNoLanguage || !IsAvailable(id) || !config.languageDetected) {
        const LanguageId preferred = LanguageFromLocaleId(systemLocaleId);
        if (IsAvailable(preferred)) {
            GetLog() << Hint << "Preferred language is " << LanguageName(preferred) << EndL;
            id = preferred;
        } else {
            GetLog() << Hint << "Preferred language is \"" << LanguageName(preferred) << "\" but we don't have it"
                     << EndL;
            id = kEnglish;
        }
        config.languageDetected = true;
    }
    SwitchLanguage(id);
    return true;
}

void LanguageManager::SwitchLanguage(LanguageId id, ESetting setting)
{
    const std::string name = LanguageName(id);
    if (setting == ESetting::Store) {
        GetConfig().language = name;
    }
    GetLog() << Hint << "Language switched to: " << name << EndL;
    m_current = id;
    LoadLanguageFile(name);
}

std::string LanguageManager::FindLanguageFile(const std::string& name) const
{
    Directory dir;
    if (!name.empty() && dir.Open(m_folder) && dir.FindFirstEntry()) {
        const std::string wanted = Lower(name);
        do {
            if (dir.GetEntryType() == BaseDirectory::EEntryType::File &&
                Lower(dir.GetEntryName()).find(wanted) != std::string::npos) {
                return dir.GetEntryName();
            }
        } while (dir.FindNextEntry());
    }
    return {};
}

const LanguageManager::OwnName& LanguageManager::GetOwnName(LanguageId id) const
{
    auto known = m_ownNames.find(id);
    if (known != m_ownNames.end()) {
        return known->second;
    }
    OwnName& own = m_ownNames[id];
    const std::string fileName = FindLanguageFile(LanguageName(id));
    if (fileName.empty()) {
        return own;
    }
    own.codePage = CodePageFromFileName(fileName);
    IntrusivePtr<XMLLoader> loader(new XMLLoader(m_folder + "/" + fileName));
    IntrusivePtr<XMLElement> document = loader->Execute(XMLLoader::Into::Merge, XMLLoader::OnError::Fail, own.codePage);
    if (IntrusivePtr<XMLElement> root = document ? document->FindChild("hierarchy") : nullptr) {
        if (IntrusivePtr<XMLElement> name = root->FindChild("languageName")) {
            own.text = name->GetText();
        }
        if (IntrusivePtr<XMLElement> font = root->FindChild("font2")) {
            own.fontPath = font->GetText();
        }
    }
    return own;
}

void LanguageManager::LoadLanguageFile(const std::string& name)
{
    const std::string fileName = FindLanguageFile(name);
    if (fileName.empty()) {
        GetLog() << Error << "Language data is corrupt" << EndL;
        return;
    }
    m_codePage = CodePageFromFileName(fileName);
    if (m_codePage != 0) {
        GetLog() << Hint << "Code page: " << m_codePage << EndL;
    }
    const std::string path = m_folder + "/" + fileName;
    IntrusivePtr<XMLLoader> loader(new XMLLoader(path));
    m_texts = loader->Execute(XMLLoader::Into::Merge, XMLLoader::OnError::Fail, m_codePage);
    GetLog() << Hint << "Language file \"" << path << "\" is loaded." << EndL;

    const char* fontKeys[2] = {"font1", "font2"};
    for (int slot = 0; slot < 2; ++slot) {
        m_fonts[slot].Reset();
        if (!FindElement(fontKeys[slot])) {
            continue;
        }
        std::string fontPath;
        Lookup(fontKeys[slot], fontPath);
        GetLog() << Hint << "Loading font:" << fontPath << EndL;
        FontPtr font = MakeIntrusive<Font>();
        font->SetCodePage(m_codePage);
        if (font->Load(fontPath)) {
            m_fonts[slot] = font;
        }
    }
    m_icons.Clear();
    std::string iconPath;
    if (FindElement("iconset") && Lookup("iconset", iconPath)) {
        m_icons.Load(iconPath);
    }
}

const XMLElement* LanguageManager::FindElement(const std::string& key) const
{
    if (!m_texts) {
        return nullptr;
    }
    IntrusivePtr<XMLElement> current = m_texts->FindChild("hierarchy");
    std::string rest = key;
    while (current) {
        const size_t dot = rest.find('.');
        current = current->FindChild(rest.substr(0, dot));
        if (dot == std::string::npos || !current) {
            return current.Get();
        }
        rest = rest.substr(dot + 1);
    }
    return nullptr;
}

bool LanguageManager::Lookup(const std::string& key, std::string& out) const
{
    IntrusivePtr<XMLElement> current = m_texts ? m_texts->FindChild("hierarchy") : nullptr;
    std::string rest = key;
    while (current) {
        const size_t dot = rest.find('.');
        IntrusivePtr<XMLElement> child = current->FindChild(rest.substr(0, dot));
        if (!child) {
            break;
        }
        if (dot == std::string::npos) {
            out = child->GetText();
            return true;
        }
        current = child;
        rest = rest.substr(dot + 1);
    }
    GetLog() << Error << "Resource path " << rest << " not found." << EndL;
    return false;
}

std::string LanguageManager::GetText(const std::string& text) const
{
    if (text.empty() || text[0] != '$') {
        return text;
    }
    const std::string key = text.substr(1);
    std::string out;
    if (!Lookup(key, out)) {
        GetLog() << Warning << "Local resources not found: " << key << EndL;
        return {};
    }
    return out;
}

const Font* LanguageManager::GetFont(int32_t id) const
{
    return id == 0 || id == 1 ? m_fonts[id].Get() : nullptr;
}

} // namespace tsv
