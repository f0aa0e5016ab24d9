#include "game/screens/gamemedia.h"

#include "engine/core/config.h"
#include "engine/runtime/application.h"
#include "engine/sound/soundmanager.h"

namespace bsh {

namespace {
// Music changes cross-fade over this long.
constexpr int64_t kMusicFadeMs = 1000;
} // namespace

GameMedia::GameMedia()
{
    tsv::SoundManager& sound = tsv::SoundManager::Instance();
    const tsv::Config& config = tsv::GetConfig();
    const char* music[] = {"/sound/menumusic.xml", "/sound/gamemusic.xml"};
    for (size_t i = 0; i < m_playlists.size(); ++i) {
        m_playlists[i] = sound.GetPlaylist(music[i]);
        if (m_playlists[i]) {
            m_playlists[i]->SetGroup(tsv::kMusicGroup);
            m_playlists[i]->SetVolume(config.musicVolume);
        }
    }
    const char* groups[] = {"/sound/grouppiece.xml", "/sound/groupstone.xml", "/sound/groupwood.xml",
                            "/sound/groupiron.xml"};
    for (size_t i = 0; i < m_soundGroups.size(); ++i) {
        m_soundGroups[i] = sound.GetPlaylist(groups[i]);
        if (m_soundGroups[i]) {
            m_soundGroups[i]->SetVolume(config.soundVolume);
        }
    }
    m_bonusSound = sound.GetSound("/sound/bonus.wav");
    m_artifactSound = sound.GetSound("/sound/artifact.wav");
    m_effects.Load();
}

void GameMedia::PlayMusic(Music music)
{
    if (music == m_music) {
        return;
    }
    const int64_t now = tsv::Application::Instance().GetSystemTimer().GetTime();
    if (m_music != Music::None && m_playlists[static_cast<size_t>(m_music)]) {
        tsv::Playlist& playing = *m_playlists[static_cast<size_t>(m_music)];
        playing.Fade(true, now, now + kMusicFadeMs, playing.GetVolume(), 0.0f, true);
    }
    m_music = music;
    if (music != Music::None && m_playlists[static_cast<size_t>(music)]) {
        tsv::Playlist& next = *m_playlists[static_cast<size_t>(music)];
        next.Fade(true, now, now + kMusicFadeMs, 0.0f, tsv::GetConfig().musicVolume, false);
        next.Play();
    }
}

void GameMedia::Play(BoardSound sound) const
{
    switch (sound) {
    case BoardSound::Jewels:
    case BoardSound::Stone:
    case BoardSound::Wood:
    case BoardSound::Iron:
        if (const auto& group = m_soundGroups[static_cast<size_t>(sound)]) {
            group->Play();
        }
        break;
    case BoardSound::Landing:
        tsv::SoundManager::Instance().Play("/sound/glassdrop.wav");
        break;
    case BoardSound::Artifact:
        if (m_artifactSound) {
            m_artifactSound->Play();
        }
        break;
    case BoardSound::Bonus:
        if (m_bonusSound) {
            m_bonusSound->Play();
        }
        break;
    }
}

} // namespace bsh
