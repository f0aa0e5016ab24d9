#pragma once
// A list of sounds played one after another, as a task that runs every frame:
// shuffled by default, optionally one entry per Play, with a volume fade.

#include "engine/runtime/task.h"
#include "engine/sound/audieresound.h"

#include <cstdint>
#include <vector>

namespace tsv {

struct PlaylistEntry {
    IntrusivePtr<AudiereSound> sound;
    float volume = 1.0f;
};

class Playlist : public Task {
public:
    Playlist() = default;
    Playlist(const Playlist&) = delete;
    Playlist& operator=(const Playlist&) = delete;

    void Run() override;
    // Starts the current entry (a random one when playing once; the first at the very start).
    void Play();
    void Stop();
    // Every entry then sounds at volume x its entry volume.
    void SetVolume(float volume);
    float GetVolume() const { return m_volume; }
    // Moves the volume from `from` at `startMs` to `to` at `endMs` (scheduler clock);
    // with `stopAfter`, a fade that ends silent stops the playlist.
    void Fade(bool active, int64_t startMs, int64_t endMs, float from, float to, bool stopAfter);
    bool IsFading() const { return m_fadeActive; }

    void AddEntry(const IntrusivePtr<AudiereSound>& sound, float volume);
    const std::vector<PlaylistEntry>& GetEntries() const { return m_entries; }
    // Index of the current entry, -1 before the first play.
    int GetCurrentEntry() const { return m_current; }

    int32_t GetGroup() const { return m_group; }
    void SetGroup(int32_t group) { m_group = group; }
    bool GetPlayOnce() const { return m_playOnce; }
    void SetPlayOnce(bool playOnce) { m_playOnce = playOnce; }
    bool GetShuffle() const { return m_shuffle; }
    void SetShuffle(bool shuffle) { m_shuffle = shuffle; }
    bool IsFinished() const { return m_finished; }

private:
    void ChooseNext();

    float m_volume = 1.0f;
    int32_t m_group = 0;
    bool m_playOnce = false;
    std::vector<PlaylistEntry> m_entries;
    int m_current = -1;
    bool m_finished = true;
    bool m_shuffle = true;
    bool m_fadeActive = false;
    int64_t m_fadeStart = 0;
    int64_t m_fadeEnd = 0;
    float m_fadeFrom = 0.0f;
    float m_fadeTo = 0.0f;
    bool m_stopAfterFade = false;
};

} // namespace tsv
