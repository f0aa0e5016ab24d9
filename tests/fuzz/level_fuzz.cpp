// Level files, loaded into a board that then plays a few frames, so a board
// the reader let through also has to hold up under the rules.
#include "fuzz/fuzztarget.h"

#include "game/board/boardevents.h"
#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "engine/scene/nodeloader.h"

BSH_FUZZ_TARGET(level)
{
    const std::string path = bsh::fuzz::WriteInput("level.xml", data, size);
    // As the game does: aliases may name mesh files.
    bsh::SetLevelMeshLoader(&tsv::LoadMeshFile);
    bsh::BoardEvents events;
    int64_t now = 1000;
    tsv::IntrusivePtr<bsh::PlayField> board = tsv::MakeIntrusive<bsh::PlayField>(events, [&now] { return now; });
    board->Seed(1);
    bsh::LevelInfo info;
    if (bsh::LoadLevel(path, *board, &info)) {
        for (int frame = 0; frame < 20; ++frame) {
            now += 50;
            board->Step();
        }
        board->DumpText();
    }
}
