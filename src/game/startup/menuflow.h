#pragma once
// The game as a player goes through it: the menus over their background, the
// quest map and the arcade selection, the levels, and the screens that follow
// a level. Every change of screen runs through the one screen transition;
// changes that lead to a menu take every screen away and push a new
// background and then the menu; the quest map comes without a background.

#include "game/progress/gamestate.h"

#include <cstdint>
#include <functional>
#include <string>

namespace bsh {

// Puts the loader on the screen stack; the intro follows it, and then the
// background and the main menu, or without any profile the profile screen.
// `startState` builds the game-wide state as the menus are entered, where a
// new player's generated highscores draw on the run's random numbers.
void StartMenus(std::function<void()> startState);
// Intro screen `index` of the intro list, or past its end the menus.
void ShowIntroScreen(int32_t index);
// The game saves elsewhere this run: the first menu tells the player the
// usual folder, why it could not be written, and where the game writes.
void SetStorageMovedNotice(const std::string& usual, const std::string& why, const std::string& writing);

void ShowMainMenu();
void ShowProfiles();
void ShowOptions();
void ShowCredits();
void ShowTreasury();
void ShowVictory();
// `returnMode`: where the screen leads when it closes: the quest map for
// GameMode::Quest, the arcade selection for GameMode::Arcade, else the main menu.
void ShowHighscores(GameMode returnMode = GameMode::None);
// The quest map; `completedLevel` (when not empty) was just won, `fast` with
// at most half of its time used.
void ShowQuestMap(const std::string& completedLevel = {}, bool fast = false);
void ShowArcadeSelection();

// The quest or arcade button of the main menu: makes the mode current and
// offers a saved run of it first.
void EnterMode(GameMode mode);
// Starts a level of a mode over a cleared stack; an empty path resumes the
// saved run of the mode. Where the level leads afterwards is
// FollowDecision's, or the main menu when the player leaves it.
void PlayLevel(const std::string& levelPath, GameMode mode);
// The screen that a decision names (the end of a level, a declined resume).
void FollowDecision(const NextScreenDecision& decision);

// The quest level to play next: the first level of the quest map that is open
// and not completed in the current profile's record at its difficulty; the
// map's first level without a profile or when none is open. "" when the map
// holds no level.
std::string NextQuestLevel(const GameState& state);

} // namespace bsh
