#include "engine/sound/playlist.h"

#include "engine/core/random.h"
#include "engine/runtime/application.h"

namespace tsv {

namespace {
// A fade that ends at or below this volume counts as silent.
constexpr float kSilentVolume = 0.001f;
} // namespace

void Playlist::AddEntry(const IntrusivePtr<AudiereSound>& sound, float volume)
{
    if (sound) {
        m_entries.push_back({sound, volume});
    }
}

void Playlist::Play()
{
    if (m_playOnce && !m_entries.empty()) {
        m_current = RandomBelow(static_cast<int>(m_entries.size()));
    } else if (m_current < 0 && !m_entries.empty()) {
        m_current = 0;
    }
    if (m_current >= 0) {
        m_entries[static_cast<size_t>(m_current)].sound->Play();
    }
    m_finished = false;
}

void Playlist::Stop()
{
    if (m_current >= 0) {
        m_entries[static_cast<size_t>(m_current)].sound->Stop();
    }
    m_finished = true;
}

void Playlist::SetVolume(float volume)
{
    if (volume == m_volume) {
        return;
    }
    for (const PlaylistEntry& entry : m_entries) {
        entry.sound->SetVolume(volume * entry.volume);
    }
    m_volume = volume;
}

void Playlist::Fade(bool active, int64_t startMs, int64_t endMs, float from, float to, bool stopAfter)
{
    m_fadeActive = active;
    m_fadeStart = startMs;
    m_fadeEnd = endMs;
    m_fadeFrom = from;
    m_fadeTo = to;
    m_stopAfterFade = stopAfter;
}

void Playlist::ChooseNext()
{
    const int count = static_cast<int>(m_entries.size());
    if (m_shuffle && count > 1) {
        int next = m_current;
        while (next == m_current) {
            next = RandomBelow(count);
        }
        m_current = next;
    } else {
        m_current = (m_current + 1) % count;
    }
}

void Playlist::Run()
{
    if (m_finished) {
        return;
    }
    if (m_current >= 0 && !m_entries[static_cast<size_t>(m_current)].sound->IsPlaying()) {
        if (m_playOnce) {
            m_finished = true;
            return;
        }
        ChooseNext();
        m_entries[static_cast<size_t>(m_current)].sound->Play();
    }
    if (!m_fadeActive) {
        return;
    }
    const int64_t now = Application::Instance().GetSystemTimer().GetTime();
    if (now <= m_fadeStart) {
        SetVolume(m_fadeFrom);
    } else if (now >= m_fadeEnd) {
        SetVolume(m_fadeTo);
        m_fadeActive = false;
        if (m_stopAfterFade && m_volume <= kSilentVolume) {
            Stop();
        }
    } else {
        SetVolume(m_fadeFrom + (m_fadeTo - m_fadeFrom) * static_cast<float>(now - m_fadeStart) /
                                   static_cast<float>(m_fadeEnd - m_fadeStart));
    }
}

} // namespace tsv
