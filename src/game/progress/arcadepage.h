#pragma once
// One page of the arcade level selection: the fifteen slots that a level set
// fills, each with its level, picture, and lock or crown from the player's
// arcade progress.

#include "game/progress/progressrecord.h"

#include <array>
#include <string>
#include <vector>

namespace bsh {

inline constexpr int kArcadeSlotCount = 15;

struct ArcadeSlot {
    bool shown = false;     // false past the end of the set
    std::string levelPath;  // "/level" + entry + ".xml"
    std::string icon;       // "/texture/level/icon" + entry + ".jpg"
    std::string status;     // the lock, a crown 1..5 for the best rating 2..6, or ""
    bool locked = false;
};

// The level file and the picture that a set entry such as "/original/003" names.
std::string ArcadeLevelPath(const std::string& entry);
std::string ArcadeIconPath(const std::string& entry);

// The slots of a page for the entries of its set (only the first fifteen have
// a slot), by the arcade map of the player's Normal record.
std::array<ArcadeSlot, kArcadeSlotCount> ArcadePageSlots(const std::vector<std::string>& entries,
                                                         const ProgressRecord& normal);

} // namespace bsh
