#include "game/progress/progression.h"

namespace bsh {

namespace {

const char* const kAwardKeys[kAwardCount] = {
    "quest_map1",       "quest_map2",       "quest_map3",       "quest_map4",
    "quest_map5",       "quest_map6",       "quest_map7",       "quest_map8",
    "arcade_complete1", "arcade_complete2", "arcade_complete3", "arcade_complete4",
    "arcade_best1",     "arcade_best2",     "arcade_best3",     "arcade_best4",
    "finalquest_complete", "arcade_complete_all", "total_complete",
};

const char* const kHintKeys[kHintCount] = {
    "Hints.swapJewels", "Hints.cellsMode", "Hints.jewelsMode", "Hints.bonusLevel",
    "Hints.onePieceLeft", "Hints.keyLock", "Hints.bomb", "Hints.cannon",
    "Hints.dynamite", "Hints.rainbow", "Hints.detonatorPart", "Hints.bonusAura",
    "Hints.twoPaths",
};

} // namespace

std::string AwardKey(int index)
{
    return index >= 0 && index < kAwardCount ? kAwardKeys[index] : "";
}

int AwardIndex(const std::string& key)
{
    for (int i = 0; i < kAwardCount; ++i) {
        if (key == kAwardKeys[i]) {
            return i;
        }
    }
    return -1;
}

const char* HintKey(int index)
{
    return index >= 0 && index < kHintCount ? kHintKeys[index] : "";
}

const char* ModeName(GameMode mode)
{
    return mode == GameMode::Quest ? "quest" : mode == GameMode::Endless ? "endless" : "arcade";
}

GameMode ModeNamed(const std::string& name)
{
    return name == "quest" ? GameMode::Quest : name == "endless" ? GameMode::Endless : GameMode::Arcade;
}

const char* DifficultyName(Difficulty difficulty)
{
    return difficulty == Difficulty::Easy ? "easy" : difficulty == Difficulty::Hard ? "hard" : "normal";
}

Difficulty DifficultyNamed(const std::string& name)
{
    return name == "easy" ? Difficulty::Easy : name == "hard" ? Difficulty::Hard : Difficulty::Normal;
}

const char* ModeWord(GameMode mode)
{
    switch (mode) {
    case GameMode::Quest:
        return "quest";
    case GameMode::Arcade:
        return "survival";
    default:
        return "";
    }
}

} // namespace bsh
