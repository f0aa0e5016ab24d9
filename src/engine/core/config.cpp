#include "engine/core/config.h"

#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/textformat.h"
#include "engine/core/util/file/damagedfile.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/xml/xmlloader.h"

#include <cstdio>
#include <cstdlib>

namespace tsv {

namespace {

// A decimal number and nothing else but blanks around it.
bool IsCleanNumber(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    std::strtod(begin, &end);
    return end != begin && Trim(end).empty();
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

} // namespace

void Config::Load(const std::string& storageFolder)
{
    IntrusivePtr<FileStream> probe(new FileStream);
    std::string path = PlayerFileSource(storageFolder + "config.xml");
    const bool own = probe->Open(path, FileMode::Read);
    if (!own) {
        path = "config.xml";
    }
    probe.Reset();

    IntrusivePtr<XMLLoader> loader(new XMLLoader(path));
    IntrusivePtr<XMLElement> root = loader->Execute(XMLLoader::Into::Replace, XMLLoader::OnError::Fail, 0);
    if (!root || root->Children().empty()) {
        GetLog() << Warning << "Configuration file is empty: default settings loaded" << EndL;
        if (own) {
            // The player's settings stay on disk for them to look at.
            KeepDamagedFile(path);
        }
        return;
    }
    IntrusivePtr<XMLElement> top =
        RootElement(root.Get(), "config", "Configuration file is corrupt: root tag must be <config>");
    if (!top) {
        if (own) {
            KeepDamagedFile(path);
        }
        return;
    }
    // Values the game would not write (an unknown tag, a number with stray
    // characters) mean the file is not read whole: what reads is used, and
    // the file is kept aside before the next save replaces it.
    bool whole = true;
    auto number = [&whole](const std::string& text) {
        whole = whole && IsCleanNumber(text);
        return text;
    };
    auto asBool = [&number](const std::string& text) { return ParseInt(number(text)) != 0; };
    for (const XMLElement::Child& child : top->Children()) {
        const std::string& name = child.first;
        const std::string& text = child.second->GetText();
        if (name == "fullscreen") {
            fullscreen = asBool(text);
        } else if (name == "windowwidth") {
            windowWidth = ParseInt(number(text));
        } else if (name == "windowheight") {
            windowHeight = ParseInt(number(text));
        } else if (name == "systemcursor") {
            systemCursor = asBool(text);
        } else if (name == "languagedetected") {
            languageDetected = asBool(text);
        } else if (name == "debuginfo") {
            debugInfo = asBool(text);
        } else if (name == "language") {
            language = text;
        } else if (name == "maxfps") {
            maxFps = ParseInt(number(text));
        } else if (name == "soundvolume") {
            soundVolume = ParseFloat(number(text));
        } else if (name == "musicvolume") {
            musicVolume = ParseFloat(number(text));
        } else if (name == "homelink") {
            homeLink = text;
        } else {
            GetLog() << Warning << "Unknown tag in config: <" << name << ">" << EndL;
            whole = false;
        }
    }
    // A file the game did not write as it stands (stray text, another
    // layout) is kept too: the next save replaces it with the game's own.
    if (own && (!whole || Format() != ReadWhole(path))) {
        KeepDamagedFile(path);
    }
}

namespace {

// Every value is escaped, so the file always reads back; none is cut.
std::string Escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace

std::string Config::Format() const
{
    char numbers[512];
    std::snprintf(numbers, sizeof numbers,
                  "</language>\n\t\t<soundvolume>%f</soundvolume>\n\t\t<musicvolume>%f"
                  "</musicvolume>\n\t\t<maxfps>%d</maxfps>\n\t\t<fullscreen>%d</fullscreen>\n\t\t<windowwidth>%d"
                  "</windowwidth>\n\t\t<windowheight>%d</windowheight>\n\t\t<systemcursor>%d</systemcursor>\n\t\t"
                  "<languagedetected>%d</languagedetected>\n\t\t<debuginfo>%d</debuginfo>\n",
                  static_cast<double>(soundVolume), static_cast<double>(musicVolume), maxFps, fullscreen ? 1 : 0,
                  windowWidth, windowHeight, systemCursor ? 1 : 0, languageDetected ? 1 : 0, debugInfo ? 1 : 0);
    std::string text = "<config>\n\t\t<language>" + Escaped(language) + numbers;
    text += "\t\t<homelink>" + Escaped(homeLink) + "</homelink>\n";
    text += "</config>\n";
    return text;
}

bool Config::Save(const std::string& storageFolder) const
{
    return WriteFileAtomically(storageFolder + "config.xml", Format());
}

ConfigHolder::ConfigHolder()
{
    // A config.xml that is there but cannot be read keeps the player's
    // settings all the same: the game plays with defaults and leaves it be.
    std::string bytes;
    m_untouchable = !GetStoragePath().empty() &&
                    ReadPlayerFile(GetStoragePath() + "config.xml", bytes) == EPlayerFileRead::Unreadable;
    if (!m_untouchable) {
        m_config.Load(GetStoragePath());
    }
}

ConfigHolder::~ConfigHolder() { Save(); }

void ConfigHolder::Save()
{
    if (m_untouchable) {
        GetLog() << Warning << GetStoragePath() << "config.xml: not written, the file there could not be read" << EndL;
        return;
    }
    m_config.Save(GetStoragePath());
}

} // namespace tsv
