#pragma once
// The board's bursts: splinters, glitter, flashes and the shards of destroyed
// pieces. Each effect is one node loaded once; firing it moves that node and
// starts its emitters again, so a second firing before the first burst ends
// simply bursts at the new place.

#include "engine/scene/scenenode.h"
#include "game/board/boardevents.h"

#include <array>
#include <map>
#include <string>

namespace bsh {

// GUI effects, by index.
enum class GuiEffect : int {
    ArtifactAppears = 0,
    BonusAppears = 1,
    LevelCompleteIcon = 2,
    ObjectiveComplete = 3,
    ShowLevelIcon = 4,
    StatAppears = 5,
};
inline constexpr int kGuiEffectCount = 6;
// The one place a GUI effect becomes the index of its picture.
inline constexpr size_t GuiEffectIndex(GuiEffect effect) { return static_cast<size_t>(effect); }

// Effects are drawn on this layer unless fired on another.
inline constexpr int32_t kEffectLayer = 3;

class BoardEffects {
public:
    // Loads the game and GUI effects, the colour styles "1".."8" and the
    // styles of the style file. Missing files are logged and leave empty entries.
    void Load(const std::string& styleFile = "/object/styles.xml");

    void FireEffect(GameEffect effect, const tsv::Vec3& position, int32_t layer);
    void FireGuiEffect(GuiEffect effect, const tsv::Vec3& position, int32_t layer);
    // Logs "Fragment style not found" for a name that was never defined.
    void FireStyle(const std::string& style, const tsv::Vec3& position, int32_t layer);

    bool HasStyle(const std::string& style) const { return m_styles.count(style) != 0; }
    const tsv::SceneNodePtr& GameEffectNode(GameEffect effect) const { return m_game[EffectIndex(effect)]; }
    const tsv::SceneNodePtr& StyleNode(const std::string& style) const;

private:
    std::array<tsv::SceneNodePtr, kGameEffectCount> m_game;
    std::array<tsv::SceneNodePtr, kGuiEffectCount> m_gui;
    std::map<std::string, tsv::SceneNodePtr> m_styles;
};

} // namespace bsh
