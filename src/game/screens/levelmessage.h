#pragma once
// The large message over the board (the objective at the start, the level's
// end, the no-moves notice): a language key's text on its plate for a while,
// fading at the end; a new one replaces the one shown.

#include "engine/scene/scenenode.h"

#include <cstdint>
#include <string>

namespace bsh {

class LevelMessage {
public:
    static constexpr uint32_t kColour = 0xFFFFF2C8;
    static constexpr int64_t kFadeMs = 400;
    static constexpr int32_t kLayer = 6;

    LevelMessage() = default;
    ~LevelMessage();
    LevelMessage(const LevelMessage&) = delete;
    LevelMessage& operator=(const LevelMessage&) = delete;

    // The text of `key` ("$" + key) for `ms` milliseconds from `now` on the
    // game clock, with `number` put in when it is not negative.
    void Show(const std::string& key, int64_t ms, int64_t now, int number = -1);
    // Whether a message is still on the board.
    bool IsShowing() const { return m_node && m_node->IsAlive(); }
    // The key of the last message, "" before any.
    const std::string& Key() const { return m_key; }

private:
    tsv::SceneNodePtr m_node;
    std::string m_key;
};

} // namespace bsh
