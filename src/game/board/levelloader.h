#pragma once
// Level files: which squares exist and how worn they are, which pieces stand
// where, the colours new jewels may take, the specials shapes may not make,
// the jewels to collect, the time limit, the title and decoration nodes.

#include "engine/scene/scenenode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

class PlayField;

// What a level says beyond the board itself.
struct LevelInfo {
    std::string name;                      // the title's language key
    int64_t time = 0;                      // the file's time, before the difficulty
    std::vector<tsv::SceneNodePtr> nodes;  // decoration, already added to the scene
};

// Fills a freshly built board from a level file (a resource path or a file
// path) and sets its time limit and time left (scaled by the difficulty in
// quest mode). The award key goes to the board's GameState. False, with a
// log line, when the file is no level; the board then stays empty.
bool LoadLevel(const std::string& path, PlayField& board, LevelInfo* info = nullptr);

} // namespace bsh
