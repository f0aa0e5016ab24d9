#include "game/progress/arcadepage.h"

namespace bsh {

namespace {
constexpr const char* kLockPicture = "/texture/gui/frame/lock.png";
constexpr int32_t kLowestCrownRating = 2;
} // namespace

std::string ArcadeLevelPath(const std::string& entry) { return "/level" + entry + ".xml"; }

std::string ArcadeIconPath(const std::string& entry) { return "/texture/level/icon" + entry + ".jpg"; }

std::array<ArcadeSlot, kArcadeSlotCount> ArcadePageSlots(const std::vector<std::string>& entries,
                                                         const ProgressRecord& normal)
{
    std::array<ArcadeSlot, kArcadeSlotCount> slots;
    for (size_t i = 0; i < slots.size() && i < entries.size(); ++i) {
        ArcadeSlot& slot = slots[i];
        slot.shown = true;
        slot.levelPath = ArcadeLevelPath(entries[i]);
        slot.icon = ArcadeIconPath(entries[i]);
        const LevelEntry* entry = normal.GetEntry(GameMode::Arcade, slot.levelPath);
        slot.locked = !entry || entry->state == LevelState::Locked;
        if (slot.locked) {
            slot.status = kLockPicture;
        } else if (entry->best >= kLowestCrownRating) {
            slot.status = "/texture/gui/frame/crown" + std::to_string(entry->best - 1) + ".png";
        }
    }
    return slots;
}

} // namespace bsh
