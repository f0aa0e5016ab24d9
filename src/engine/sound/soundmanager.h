#pragma once
// Owns every sound and playlist by the name it was loaded under, plays them by
// name, sets group volumes and reads the preload and playlist files.

#include "engine/core/accesspoint.h"
#include "engine/sound/audiodevice.h"
#include "engine/sound/audieresound.h"
#include "engine/sound/playlist.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tsv {

// Group 0 holds the sound effects, group 1 the music.
inline constexpr int32_t kEffectGroup = 0;
inline constexpr int32_t kMusicGroup = 1;

class SoundManager : public AccessPoint<SoundManager> {
public:
    static constexpr const char* kPartName = "the sound manager";
    // The manager a run of the game uses: on the default device, opened again
    // when a card comes back or is plugged in later; silent by choice when the
    // run's options want no sound (a fast simulation).
    static std::unique_ptr<SoundManager> ForThisRun();
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
    // device renders the samples up to the end of the frame's time. Now and
    // then it also looks after the device (CheckDevice).
    void Update();

    // A sound card can go (a headset unplugged) and come: the game runs on in
    // silence meanwhile. How a device is opened again; none: never.
    using DeviceOpener = std::function<IntrusivePtr<AudioDevice>()>;
    void SetDeviceOpener(DeviceOpener opener) { m_opener = std::move(opener); }
    // How often the device's connection is checked; a missing device is
    // looked for after kRetryFirstMs, then ever less often, up to kRetryMostMs
    // (a machine without sound pays for a failed open only now and then).
    static constexpr int64_t kDeviceCheckMs = 1000;
    static constexpr int64_t kRetryFirstMs = 1000;
    static constexpr int64_t kRetryMostMs = 8000;
    // A lost device is let go (one log line); a device found again takes
    // every sound back, music and repeating sounds start again (one log line).
    void CheckDevice(int64_t nowMs);
    // Scripted runs: the device goes as an unplugged card does, and none can be
    // opened until it is plugged back in. Checked at the next frame.
    void SetUnplugged(bool unplugged);
    // The loopback's rendered audio is kept across a change of device, on one
    // time line from the start of the run (silent while there was none).
    void SetCapture(bool capture);
    std::vector<int16_t> GetCapture() const;
    int GetCaptureRate() const { return m_captureRate; }
    // The focus hook: silence effects and music while the window is inactive.
    void OnFocusChanged(bool focused);

private:
    bool LoadPlaylist(Playlist& playlist, const std::string& path);
    // Every sound moves to `device` (null: silence).
    void UseDevice(IntrusivePtr<AudioDevice> device);

    IntrusivePtr<AudioDevice> m_device;
    // The run goes without sound on purpose (a fast simulation): no device
    // is looked for, and no error says one is missing.
    bool m_offByChoice = false;
    DeviceOpener m_opener;
    bool m_unplugged = false;
    int64_t m_nextCheck = 0;
    int64_t m_retryMs = kRetryFirstMs;
    bool m_capturing = false;
    int m_captureRate = 0;
    std::vector<int16_t> m_earlierCapture; // what devices that went rendered
    std::map<std::string, IntrusivePtr<AudiereSound>> m_sounds;
    std::map<std::string, IntrusivePtr<Playlist>> m_playlists;
    int64_t m_clockOriginMs = 0;
};

// What an emitter plays when it spawns: its sound once and its playlist; empty names play nothing.
void PlaySpawnSounds(const std::string& sound, const std::string& playlist);

} // namespace tsv
