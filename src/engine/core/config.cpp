#include "engine/core/config.h"

#include "engine/core/log.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/core/storage.h"

#include <cstdio>
#include <cstdlib>

namespace tsv {

void Config::Load(const std::string& storageFolder)
{
    IntrusivePtr<FileStream> probe(new FileStream);
    std::string path = storageFolder + "config.xml";
    if (!probe->Open(path, FileModeRead)) {
        path = "config.xml";
    }
    probe.Reset();

    IntrusivePtr<XMLLoader> loader(new XMLLoader(path));
    IntrusivePtr<XMLElement> root = loader->Execute(true, false, 0);
    if (!root || root->Children().empty()) {
        GetLog() << Warning << "Configuration file is empty: default settings loaded" << EndL;
        return;
    }
    const XMLElement::Child& top = root->Children().front();
    if (top.first != "config") {
        GetLog() << Error << "Configuration file is corrupt: root tag must be <config>" << EndL;
        return;
    }
    auto asBool = [](const std::string& text) { return ParseInt(text) != 0; };
    for (const XMLElement::Child& child : top.second->Children()) {
        const std::string& name = child.first;
        const std::string& text = child.second->GetText();
        if (name == "fullscreen") {
            fullscreen = asBool(text);
        } else if (name == "windowwidth") {
            windowWidth = ParseInt(text);
        } else if (name == "windowheight") {
            windowHeight = ParseInt(text);
        } else if (name == "systemcursor") {
            systemCursor = asBool(text);
        } else if (name == "languagedetected") {
            languageDetected = asBool(text);
        } else if (name == "debuginfo") {
            debugInfo = asBool(text);
        } else if (name == "language") {
            language = text;
        } else if (name == "maxfps") {
            maxFps = ParseInt(text);
        } else if (name == "soundvolume") {
            soundVolume = ParseFloat(text);
        } else if (name == "musicvolume") {
            musicVolume = ParseFloat(text);
        } else if (name == "homelink") {
            homeLink = text;
        } else {
            GetLog() << Warning << "Unknown tag in config: <" << name << ">" << EndL;
        }
    }
}

std::string Config::Format() const
{
    char buffer[900];
    std::snprintf(buffer, sizeof buffer,
                  "<config>\n\t\t<language>%s</language>\n\t\t<soundvolume>%f</soundvolume>\n\t\t<musicvolume>%f"
                  "</musicvolume>\n\t\t<maxfps>%d</maxfps>\n\t\t<fullscreen>%d</fullscreen>\n\t\t<windowwidth>%d"
                  "</windowwidth>\n\t\t<windowheight>%d</windowheight>\n\t\t<systemcursor>%d</systemcursor>\n\t\t"
                  "<languagedetected>%d</languagedetected>\n\t\t<debuginfo>%d</debuginfo>\n",
                  language.c_str(), static_cast<double>(soundVolume), static_cast<double>(musicVolume), maxFps,
                  fullscreen ? 1 : 0, windowWidth, windowHeight, systemCursor ? 1 : 0, languageDetected ? 1 : 0,
                  debugInfo ? 1 : 0);
    std::string text = buffer;
    std::string link;
    for (char c : homeLink) {
        link += c == '&' ? std::string("&amp;") : std::string(1, c);
    }
    text += "\t\t<homelink>" + link + "</homelink>\n";
    text += "</config>\n";
    return text;
}

bool Config::Save(const std::string& storageFolder) const
{
    FileStream file(storageFolder + "config.xml", FileModeWrite);
    if (!file.IsOpen()) {
        return false;
    }
    std::string text = Format();
    file.Write(text.data(), static_cast<int32_t>(text.size()));
    return file.WritesSucceeded();
}

ConfigHolder::ConfigHolder()
{
    m_config.Load(GetStoragePath());
}

ConfigHolder::~ConfigHolder() { Save(); }

void ConfigHolder::Save() { m_config.Save(GetStoragePath()); }

ConfigHolder& ConfigHolder::Instance()
{
    static ConfigHolder s_holder;
    return s_holder;
}

} // namespace tsv
