#pragma once
// The quest's sea chart: four pages of islands and coasts with the levels as
// spheres joined by trails of small spheres. The player picks a level (or
// lets the play button pick), changes the difficulty, scrolls between pages
// and watches newly opened levels appear after a win. The rules of what is
// open live in QuestMap; this screen draws them and animates the changes.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"
#include "game/progress/questmap.h"
#include "game/screens/hintbox.h"

#include <functional>
#include <string>
#include <vector>

namespace bsh {

class MapScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/mapscreen.xml";
    static constexpr int64_t kScrollMs = 1000;
    static constexpr int64_t kHintDelayMs = 2000;
    // The chart's nodes lie below the hint box and the screen's own buttons.
    static constexpr int32_t kMapLayer = 2;
    // A sphere at (x, y) takes the pointer inside this box around it.
    static constexpr float kHoverLeft = 22.0f, kHoverRight = 22.0f, kHoverTop = 7.0f, kHoverBottom = 37.0f;
    // Distance between the small spheres of a trail.
    static constexpr float kTrailStep = 14.0f;

    struct Actions {
        std::function<void(const std::string& level)> play;
        std::function<void()> close;
        std::function<void()> treasury;
    };

    MapScreen(GameState& state, Actions actions);
    ~MapScreen() override;

    // A quest level was just won (fast: at most half of its time used).
    void OnLevelCompleted(const std::string& path, bool fast);

    void Run() override;
    void ProcessInput() override;
    void OnRemove() override;

    // The pointer in view coordinates (0, 0 at the centre), for one frame.
    void Pointer(float x, float y, bool leftDown);
    // What the buttons do.
    void PlaySuggested();
    void PlayLevel(size_t level);
    void SetDifficulty(Difficulty difficulty);
    void ScrollBy(int dx, int dy);
    // The developer's combination: every level opened and the chart rebuilt.
    void OpenWholeMap();

    const QuestMap& Map() const { return m_map; }
    int32_t GetPage() const { return m_page; }
    bool IsScrolling() const { return m_scrolling; }
    // Where the chart's root stands (0, 0 on page 1).
    float GetOffsetX() const { return m_offsetX; }
    float GetOffsetY() const { return m_offsetY; }
    int GetHovered() const { return m_hovered; }
    // The small spheres drawn on the chart, for every trail.
    size_t GetTrailSphereCount() const;
    const std::string& GetShownHint() const { return m_shownHint; }

    // The chart's nodes of a level, for tests and the screen's own updates.
    struct LevelNodes {
        tsv::SceneNodePtr sphere, highlight, icon, bonusSign, mark, pulse;
        std::vector<tsv::SceneNodePtr> trails;
        std::vector<size_t> trailFrom; // the link each trail comes from
    };
    const std::vector<LevelNodes>& Nodes() const { return m_nodes; }

private:
    void BuildChart();
    void LoadLevels();
    void ClearLevels();
    void RefreshLevel(size_t level);
    void AddTrail(size_t from, size_t to);
    void RefreshDifficultyButtons();
    void RefreshArrows();
    void RefreshSphereButtons();
    // The level whose sphere has the keys' focus, -1 for none.
    int KeyFocusedLevel() const;
    void ShowPage(int32_t page);
    void StartScroll(int32_t page);
    void StepScroll(int64_t now);
    void PlaceRoot();
    void StepPulses(int64_t now);
    void UpdateHints(int64_t now);
    bool ShowMapHint(int hint, const std::string& nearLevel);
    void CheckDeveloperKeys();
    void FireAt(const tsv::SceneNodePtr& effect, size_t level);
    void ShowTitle(int level);
    std::string LevelTitle(size_t level);
    int64_t Now() const;

    GameState& m_state;
    Actions m_actions;
    std::vector<tsv::GUIComponent*> m_sphereButtons; // the screen file's pool, owned by the root
    std::vector<int> m_sphereLevels;                 // the level under each, -1 for none
    tsv::IntrusivePtr<Profile> m_profile;
    QuestMap m_map;
    tsv::SceneNodePtr m_root;   // tiles, texts and spheres hang under it
    tsv::SceneNodePtr m_levels; // the spheres and trails, rebuilt with the difficulty
    std::vector<LevelNodes> m_nodes;
    std::vector<std::string> m_titles; // "" until asked for
    tsv::SceneNodePtr m_openEffect, m_completeEffect;

    int32_t m_page = 1;
    float m_offsetX = 0, m_offsetY = 0;
    bool m_scrolling = false;
    float m_scrollFromX = 0, m_scrollFromY = 0, m_scrollToX = 0, m_scrollToY = 0;
    int64_t m_scrollStart = 0;
    int32_t m_scrollPage = 1;

    int64_t m_openedAt = 0;
    bool m_hintsChecked = false;
    std::string m_shownHint;
    HintBoxPtr m_hintBox;
    bool m_leftWasDown = true; // a press already held when the screen came counts as old
    int m_hovered = -1;
    bool m_comboHeld = false;
    bool m_left = false;
};

} // namespace bsh
