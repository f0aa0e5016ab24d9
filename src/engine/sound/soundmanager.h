#pragma once
// Owns every sound and playlist by the name it was loaded under, plays them by
// name, sets group volumes and reads the preload and playlist files.

#include "engine/sound/audiodevice.h"
#include "engine/sound/audieresound.h"
#include "engine/sound/playlist.h"

#include <cstdint>
#include <map>
#include <string>

namespace tsv {

// Group 0 holds the sound effects, group 1 the music.
inline constexpr int32_t kEffectGroup = 0;
inline constexpr int32_t kMusicGroup = 1;

class SoundManager {
public:
    // The process's manager; opens the default device on first use.
    static SoundManager& Instance();
    // A manager on the given device; null runs silent after logging the missing
    // device (or, when silence was chosen, just saying so).
    explicit SoundManager(IntrusivePtr<AudioDevice> device, bool silentByChoice = false);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // The stored sound, or a new one loaded from `name` and stored.
    IntrusivePtr<AudiereSound> GetSound(const std::string& name);
    // The stored playlist, or a new one read from the file, stored and added to the task list.
    IntrusivePtr<Playlist> GetPlaylist(const std::string& name);
    // A stored sound, a stored playlist, a new sound, a new playlist: the first found
    // is played and the result is true; false when nothing could be made.
    bool Play(const std::string& name);
    // Replaces the volume of every sound and playlist of the group.
    void SetGroupVolume(float volume, int32_t group);
    // Loads the sounds and playlists a preload file lists; false when the file was unusable.
    bool Preload(const std::string& path);

    AudioDevice* GetDevice() const { return m_device.Get(); }
    // Once per frame after the tasks: feeds streamed voices, and on the loopback
    // device renders the samples up to the end of the frame's time.
    void Update();
    // The focus hook: silence effects and music while the window is inactive.
    void OnFocusChanged(bool focused);

private:
    bool LoadPlaylist(Playlist& playlist, const std::string& path);

    IntrusivePtr<AudioDevice> m_device;
    std::map<std::string, IntrusivePtr<AudiereSound>> m_sounds;
    std::map<std::string, IntrusivePtr<Playlist>> m_playlists;
    int64_t m_clockOriginMs = 0;
};

// What an emitter plays when it spawns: its sound once and its playlist; empty names play nothing.
void PlaySpawnSounds(const std::string& sound, const std::string& playlist);

} // namespace tsv
