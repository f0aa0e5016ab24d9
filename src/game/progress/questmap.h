#pragma once
// The rules of the quest's sea chart, apart from how it looks: the levels of
// data/level/map.xml with their places and links, which of them a progress
// record shows, opens or marks, the trails between them, the pages of the
// chart, and what a won level opens next.

#include "engine/core/intrusiveptr.h"
#include "engine/core/util/xml/xmlelement.h"
#include "game/progress/progressrecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bsh {

struct QuestMapLevel {
    std::string source; // the level file, also its key in the progress record
    float x = 0, y = 0; // the sphere's centre on the chart
    std::string icon;   // a picture drawn on the sphere, "" for none
    tsv::IntrusivePtr<tsv::XMLElement> mesh; // an inline node description, or null
    std::vector<size_t> links;               // earlier levels this one comes from, file order
    bool bonus = false;
    LevelState state = LevelState::Locked;
};

// What OnLevelCompleted changed, for the screen's animations.
struct QuestMapChanges {
    int completed = -1;                           // the level newly marked completed, -1 none
    std::vector<size_t> opened;                   // levels that became open, in list order
    std::vector<std::pair<size_t, size_t>> trails; // (from, to) trails newly drawn
    int32_t scrollTo = 0;                         // the page to scroll to, 0 to stay
};

class QuestMap {
public:
    static constexpr int32_t kPageCount = 4;
    static constexpr const char* kBonusSuffix = "bonus.xml";

    // Reads the map file; false (and no levels) when its root is not <map>.
    bool Load(const std::string& path);
    // Takes each level's state from the record's quest map and recomputes the
    // last-page flag.
    void ApplyRecord(const ProgressRecord& record);

    const std::vector<QuestMapLevel>& Levels() const { return m_levels; }
    // The index of the level with that source, -1 when none.
    int Find(const std::string& source) const;

    // The page (1..4) a chart position lies on, 0 for none (on a dividing line).
    static int32_t PageOf(float x, float y);
    int32_t PageOf(size_t level) const { return PageOf(m_levels[level].x, m_levels[level].y); }
    // Where the chart's root stands while page `page` is on view.
    static std::pair<float, float> PageOffset(int32_t page);
    // The page in direction (dx, dy) from `page`, 0 when there is none.
    static int32_t PageToward(int32_t page, int dx, int dy);

    // Visibility: a level in state 0 is hidden; a hidden bonus level shows its
    // sign while one of its links is open or completed without the fast result.
    bool IsShown(size_t level) const { return m_levels[level].state != LevelState::Locked; }
    bool ShowsBonusSign(size_t level) const;
    // Open non-bonus levels pulse.
    bool Pulses(size_t level) const;
    // The links a shown level draws a trail from.
    std::vector<size_t> TrailsTo(size_t level) const;
    // Set once an open level lies on page 4; until then page 4 stays shut.
    bool IsLastPageOpen() const { return m_lastPage; }

    // A quest level was won (fast: with at most half of its time used): marks
    // it, opens every locked level that a qualifying link now leads to (a bonus
    // level only through a fast win), writes their state and the page to scroll
    // to into the record.
    QuestMapChanges OnLevelCompleted(const std::string& path, bool fast, ProgressRecord& record);

    // The level the play button starts: the first open non-bonus level; else the
    // first open bonus level or the first completed link of a locked bonus level,
    // whichever comes first; else one drawn by `random(count)`. -1 on an empty map.
    int SuggestedLevel(const std::function<int(int)>& random) const;

    // The developer's key combination: every level completed (bonus levels
    // open) in the quest map, every level without an arcade entry open there.
    static void OpenAll(const std::vector<QuestMapLevel>& levels, ProgressRecord& record);

private:
    void UpdateLastPage();

    std::vector<QuestMapLevel> m_levels;
    bool m_lastPage = false;
};

} // namespace bsh
