#pragma once
// The game's shared sounds, music and effects: the menu and game music, the
// board's sound groups and single sounds, and the board's effects. Loaded once
// when the start-up builds it, and kept to the end of the run.

#include "engine/core/accesspoint.h"
#include "engine/core/intrusiveptr.h"
#include "engine/sound/audieresound.h"
#include "engine/sound/playlist.h"
#include "game/board/boardevents.h"
#include "game/screens/boardeffects.h"

#include <array>
#include <cstdint>

namespace bsh {

enum class Music : int32_t { None = -1, Menu = 0, Game = 1 };

class GameMedia : public tsv::AccessPoint<GameMedia> {
public:
    static constexpr const char* kPartName = "the game media";
    GameMedia();

    GameMedia(const GameMedia&) = delete;
    GameMedia& operator=(const GameMedia&) = delete;

    // Fades out the music playing and starts `music`.
    void PlayMusic(Music music);
    Music GetMusic() const { return m_music; }
    // A board sound: the groups pick one of their sounds, the rest play as they are.
    void Play(BoardSound sound) const;
    BoardEffects& Effects() { return m_effects; }

private:

    Music m_music = Music::None;
    std::array<tsv::IntrusivePtr<tsv::Playlist>, 2> m_playlists;
    std::array<tsv::IntrusivePtr<tsv::Playlist>, 4> m_soundGroups;
    tsv::IntrusivePtr<tsv::AudiereSound> m_bonusSound;
    tsv::IntrusivePtr<tsv::AudiereSound> m_artifactSound;
    BoardEffects m_effects;
};

} // namespace bsh
