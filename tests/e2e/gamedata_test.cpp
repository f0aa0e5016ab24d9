// The committed game data as the game reads it: every texture, node file,
// sound and playlist loads without an Error line, and every effect burst
// ends by itself.

#include "engine/scene/scenetest.h"
#include "engine/scene/nodelibrary.h"
#include "engine/sound/soundmanager.h"
#include "support/testsupport.h"

#include <algorithm>
#include <filesystem>

namespace bsh {
namespace {

namespace fs = std::filesystem;
using tsv::LogLevel;

// Resource paths ("/texture/...") of the files under data/ with one of the extensions.
std::vector<std::string> DataFiles(const std::string& folder, std::initializer_list<const char*> extensions)
{
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator("data/" + folder)) {
        for (const char* extension : extensions) {
            if (entry.is_regular_file() && entry.path().extension() == extension) {
                paths.push_back(entry.path().string().substr(4)); // drop "data"
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

using GameDataTest = tsv::test::SceneTest;

TEST_F(GameDataTest, EveryTextureNodeFileAndSoundLoadsCleanly)
{
    testsupport::LogCapture log;
    const auto textures = DataFiles("texture", {".png", ".dds"});
    ASSERT_GT(textures.size(), 100u);
    for (const std::string& path : textures) {
        EXPECT_NE(Loop().GetTexture(path), 0u) << path;
    }
    const auto nodes = DataFiles("object", {".xml"});
    ASSERT_GT(nodes.size(), 30u);
    for (const std::string& path : nodes) {
        if (path != "/object/styles.xml") {
            EXPECT_TRUE(tsv::NodeLibrary::Instance().GetPrototype(path)) << path;
        }
    }
    tsv::SoundManager& sound = tsv::SoundManager::Instance();
    EXPECT_TRUE(sound.Preload("/sound/preload.xml"));
    for (const char* playlist : {"/sound/menumusic.xml", "/sound/gamemusic.xml", "/sound/grouppiece.xml",
                                 "/sound/groupstone.xml", "/sound/groupwood.xml", "/sound/groupiron.xml"}) {
        EXPECT_TRUE(sound.GetPlaylist(playlist)) << playlist;
    }
    for (const std::string& path : DataFiles("sound", {".wav"})) {
        EXPECT_TRUE(sound.GetSound(path)) << path;
    }
    const auto errors = log.Texts(LogLevel::Error);
    EXPECT_TRUE(errors.empty()) << errors.size() << " errors, the first: " << errors.front();
}

// A burst that never ends would fill the scene over a level.
TEST_F(GameDataTest, EveryEffectEndsByItself)
{
    for (const std::string& path : DataFiles("object", {".xml"})) {
        if (path == "/object/styles.xml" || path.rfind("/object/bg/", 0) == 0) {
            continue; // the backdrop stays on purpose
        }
        tsv::SceneNodePtr node = tsv::NodeLibrary::Instance().CreateNode(path);
        ASSERT_TRUE(node) << path;
        node->SetTimer(SystemTimer(), tsv::Scope::Subtree, tsv::Reassign::Quiet);
        node->SetPosition({100, 100, 0}, tsv::Transform::Now);
        Scene().AddNode(node, tsv::Scope::Subtree, tsv::Attach::Now);
        node->Fire(0, tsv::FireDelay::OnNode);
        Scene().EndStep();
        EXPECT_GT(Scene().GetDrawnNodeCount(), 0u) << path << " spawns nothing";
        Scene().RemoveNode(node, tsv::Scope::Subtree, tsv::Detach::Now, tsv::Rejoin::Never);
        node.Reset();
        Frames(300, 10); // three seconds
        Scene().EndStep();
        EXPECT_EQ(Scene().GetDrawnNodeCount(), 0u) << path << " leaves particles behind";
        Scene().DetachAll();
    }
}

} // namespace
} // namespace bsh
