// Writes seed inputs for the readers whose files the game makes itself
// (profiles, highscores, saved runs) or that come from the command line, by
// the game's own writers where it has them: makeseeds OUTPUT_FOLDER.
#include "engine/core/storage.h"
#include "engine/core/util/file/filestream.h"
#include "game/board/boardevents.h"
#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "game/progress/endlessrun.h"
#include "game/progress/gamestate.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void Put(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

void Copy(const fs::path& from, const fs::path& to)
{
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeseeds OUTPUT_FOLDER SAMPLE_LEVEL\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path work = out / "work";
    fs::remove_all(work);
    fs::create_directories(work);
    tsv::SetStoragePath(work.string() + "/");

    {
        bsh::GameState state(bsh::GameStatePaths{(work / "nomap.xml").string(), (work / "noset%d.xml").string()});
        for (const char* name : {"Ann", "B\xe9la"}) {
            tsv::IntrusivePtr<bsh::Profile> profile(new bsh::Profile(name));
            profile->Record().SetState(bsh::GameMode::Quest, "/level/quest/01.xml", bsh::LevelState::CompletedFast);
            state.Profiles().Add(profile);
        }
        state.PrepareLevel(argv[2], bsh::GameMode::Arcade);
        bsh::BoardEvents events;
        tsv::IntrusivePtr<bsh::PlayField> board = tsv::MakeIntrusive<bsh::PlayField>(events, [] { return int64_t{1000}; });
        board->Seed(7);
        if (!bsh::LoadLevel(argv[2], *board)) {
            std::fprintf(stderr, "makeseeds: cannot read %s\n", argv[2]);
            return 1;
        }
        bsh::PlayField* field = board.Get();
        state.SetBoardSnapshotHooks([field](tsv::RecordWriter& w) { field->SaveState(w); }, {});
        state.SetStat(bsh::GameMode::Arcade, bsh::StatCounter::Jewels, 42);
        state.SaveGame();
        Copy(state.SavedGamePath(bsh::GameMode::Arcade), out / "savedrun" / "arcade.dat");
        state.Profiles().Save();
        state.Highscores().Save();
        Copy(bsh::ProfileManager::FilePath(), out / "profiles" / "two.dat");
        Copy(bsh::HighscoreTable::FilePath(), out / "highscores" / "filled.dat");
        state.SetBoardSnapshotHooks({}, {});
        bsh::EndlessRun::Save(bsh::EndlessRun::PathFor("Ann"), {123456789012LL, 40, 6, 900}, *board);
        Copy(bsh::EndlessRun::PathFor("Ann"), out / "endless" / "kept.dat");
        state.Extras().Set("Ann", {true, 5000, 7, 1200});
        state.Extras().Set("B\xe9la", {false, 0, 0, 0});
        state.Extras().Save();
        Copy(bsh::PlayerExtras::FilePath(), out / "extras" / "two.dat");
    }
    Put(out / "profiles" / "empty.dat", std::string(4, '\0'));

    Put(out / "questmap" / "map.xml", "<map>\n"
                                      "  <level><source>/level/quest/01.xml</source><x>0</x></level>\n"
                                      "  <text>not a level</text>\n"
                                      "  <level><source>/level/quest/02.xml</source><bonus/></level>\n"
                                      "</map>\n");
    Put(out / "script" / "all.txt", "# comment\n\nat 0 move 10 20.5\nat 100 click 400 300\nat 120 down right\n"
                                    "at 130 up left\nat 200 key KEY_ESCAPE\nat 205 keydown KEY_A\nat 206 keyup KEY_A\n"
                                    "at 210 type hello world\nat 300 screenshot shot.png\nat 310 dump board.txt\n"
                                    "at 400 quit\r\n");
    const std::string z(1, '\0');
    Put(out / "runoptions" / "level.args", "--headless" + z + "--fixed-step" + z + "16" + z + "--seed" + z + "7" + z +
                                               "--frames" + z + "600" + z + "--level" + z + "data/level/sample/01.xml" +
                                               z + "--mode" + z + "quest" + z + "--difficulty" + z + "hard" + z +
                                               "--autoplay" + z + "--audio-out" + z + "out.wav" + z);
    Put(out / "runoptions" / "scene.args", "--windowed" + z + "--scene" + z + "/object/bg/gamebg2.xml" + z +
                                               "--script" + z + "s.txt" + z + "--no-render" + z + "--simulate" + z);
    fs::remove_all(work);
    return 0;
}
