#pragma once
// Level files: which squares exist and how worn they are, which pieces stand
// where, the colours new jewels may take, the specials shapes may not make,
// the jewels to collect, the time limit, the title, the award the level
// uncovers and its decoration nodes.

#include "engine/core/mesh.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bsh {

class PlayField;

// What a level says beyond the board itself.
struct LevelInfo {
    std::string name;               // the title's language key
    int64_t time = 0;               // the file's time, before the difficulty
    std::string awardKey;           // "artuncover": the award a win uncovers
    std::vector<std::string> nodes; // decoration node files, in file order
};

// Fills a freshly built board from a level file (a resource path or a file
// path) and sets its time limit to the file's time. False, with a log line,
// when the file is no level; the board then stays empty.
bool LoadLevel(const std::string& path, PlayField& board, LevelInfo* info = nullptr);
// Only what the level file gives besides its board (the squares' frame, the
// decoration, the title): the file is read onto a board that nothing plays.
bool ReadLevelInfo(const std::string& path, LevelInfo& info);

// Mesh files named by aliases are read through this (the start-up plugs in
// the engine's mesh reader); without one, aliases keep the default mesh.
using LevelMeshLoader = std::function<bool(const std::string& path, tsv::Mesh& mesh)>;
void SetLevelMeshLoader(LevelMeshLoader loader);

} // namespace bsh
