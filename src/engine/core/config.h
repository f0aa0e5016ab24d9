#pragma once
// The player's settings, read from config.xml in the storage folder on first
// use and written back when the options change and at exit.

#include "engine/core/accesspoint.h"
#include <cstdint>
#include <memory>
#include <string>

namespace tsv {

inline constexpr const char* kDefaultHomeLink = "https://www.tarvel-games.example/?from=brinestoneharbour&lang=en";

struct Config {
    bool fullscreen = false;
    int32_t windowWidth = 800;
    int32_t windowHeight = 600;
    bool systemCursor = true;
    bool languageDetected = false;
    bool debugInfo = false;
    std::string language;
    int32_t maxFps = 300;
    float soundVolume = 0.8f;
    float musicVolume = 0.8f;
    std::string homeLink = kDefaultHomeLink;

    // Reads the file (storage folder, else the working directory); keeps the
    // defaults for anything missing or malformed.
    void Load(const std::string& storageFolder);
    // Writes storage folder + "config.xml"; false when it could not be written.
    bool Save(const std::string& storageFolder) const;
    // The exact file text.
    std::string Format() const;
};

// Owns the one Config: made with the defaults and loaded from the storage
// folder when its owner builds it, saved when it goes (unless the file there
// could not be read).
class ConfigHolder : public AccessPoint<ConfigHolder> {
public:
    static constexpr const char* kPartName = "the configuration";
    ConfigHolder();
    Config& Get() { return m_config; }
    void Save();
    ~ConfigHolder();

private:
    Config m_config;
    bool m_untouchable = false; // config.xml is there but could not be read: never written over
};

inline Config& GetConfig() { return ConfigHolder::Instance().Get(); }

} // namespace tsv
