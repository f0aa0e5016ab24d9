#pragma once
// The game's own run options: one level played straight away, by the player,
// by a bot through the screen, or by a bot on the rules alone.

#include "engine/platform/runoptions.h"

#include <string>

namespace bsh {

class GameOptions : public tsv::RunOptionExtension {
public:
    std::string levelPath;             // start straight into this level
    std::string mode = "arcade";       // with levelPath: "quest" or "arcade"; "endless" alone
    bool IsEndless() const { return mode == "endless"; }
    std::string difficulty = "normal"; // with levelPath in quest mode: "easy", "normal" or "hard"
    bool autoplay = false;             // a bot plays the level (or the menus' levels) through the screen
    bool simulate = false;             // with levelPath: a bot plays on the rules alone, nothing shown
    int64_t soakMinutes = 0;           // > 0: the bot plays the quest's levels for this much game time
    std::string clock;                 // "timed" or "relaxed" for this run; "" the player's setting
    std::string replayPath;            // play this level recording back

    std::string Usage() const override;
    Result Parse(const std::string& arg, const std::function<const char*(const char* what)>& value,
                 std::string& message) override;
    bool Check(const tsv::RunOptions& options, std::string& message) const override;
};

GameOptions& GetGameOptions();

} // namespace bsh
