#pragma once
// The scenery around the board while a level is played: the game's backdrop
// and the decoration the level file names; it leaves the scene with the level.

#include "engine/scene/scenenode.h"

#include <string>
#include <vector>

namespace bsh {

class LevelScenery {
public:
    static constexpr const char* kBackdrop = "/object/bg/gamebg2.xml";
    static constexpr int32_t kBackdropLayer = 0;

    LevelScenery() = default;
    ~LevelScenery();
    LevelScenery(const LevelScenery&) = delete;
    LevelScenery& operator=(const LevelScenery&) = delete;

    // Adds the decoration nodes (their files) to the scene, then the backdrop;
    // a node that cannot be made is left out.
    void Build(const std::vector<std::string>& decoration);

private:
    std::vector<tsv::SceneNodePtr> m_nodes;
};

} // namespace bsh
