#pragma once
// Boards built from level text on a headless scene with a virtual clock, over a
// game state (no media) whose current profile plays arcade mode.

#include "engine/runtime/application.h"
#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "engine/scene/scenetest.h"
#include "support/scratchstorage.h"

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace bsh::test {

class BoardTest : public tsv::test::SceneTest {
protected:
    void SetUp() override
    {
        // The scene's virtual clock must exist before the Application's timers do.
        SceneTest::SetUp();
        storageHolder = std::make_unique<ScratchStorage>();
        state = std::make_unique<GameState>(
            GameStatePaths{storageHolder->File("nomap.xml"), storageHolder->Path() + "noset%d.xml"});
        state->Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Ann")));
        state->PrepareLevel("", GameMode::Arcade);
        scoring = std::make_unique<BoardScoring>(*state);
        board = NewBoard();
    }
    void TearDown() override
    {
        board = nullptr;
        scoring.reset();
        state.reset();
        storageHolder.reset();
        SceneTest::TearDown();
    }

    // A board on the rules alone, on the game timer, scoring into the state.
    PlayFieldPtr NewBoard()
    {
        return tsv::MakeIntrusive<PlayField>(*scoring,
                                             [] { return tsv::Application::Instance().GetTimer().GetTime(); });
    }

    // Aliases '1'..'8' are jewels of that colour; `extra` adds more alias elements.
    static std::string Level(const std::vector<std::string>& rows, const std::string& extra = {},
                             const std::vector<std::string>& fill = {}, const std::string& head = {})
    {
        std::ostringstream out;
        out << "<level><time>60000</time><colors>12345678</colors>" << head;
        for (char c = '1'; c <= '8'; ++c) {
            out << "<alias><char>" << c << "</char><color>" << c << "</color><type>jewel</type></alias>";
        }
        out << extra << "<playfield>\n";
        for (const std::string& row : rows) {
            out << row << "\n";
        }
        out << "</playfield><fill>\n";
        // Without a fill, every square of the rows exists.
        for (size_t y = 0; y < rows.size(); ++y) {
            out << (fill.empty() ? std::string(rows[y].size(), '0') : fill[y]) << "\n";
        }
        out << "</fill></level>";
        return out.str();
    }

    // `width` x `height` jewels of three colours in diagonals, so no run stands.
    static std::vector<std::string> Diagonals(int width, int height)
    {
        std::vector<std::string> rows(height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                rows[y] += static_cast<char>('1' + (x + y) % 3);
            }
        }
        return rows;
    }

    static std::string Alias(char c, const std::string& type, int colour)
    {
        std::ostringstream out;
        out << "<alias><char>" << c << "</char><color>" << colour << "</color><type>" << type << "</type></alias>";
        return out.str();
    }

    bool Load(const std::string& text)
    {
        storageHolder->Write("level.xml", text);
        return LoadLevelForPlay(*state, storageHolder->File("level.xml"), *board, &info);
    }

    // Moves the clock on by `ms` in 10 ms frames, running the pieces' motions
    // and timers and, when `step`, the rest of the board's frame.
    void Run(int64_t ms, bool step = true)
    {
        for (int64_t t = 0; t < ms; t += 10) {
            Advance(10);
            if (step) {
                board->Step();
            } else {
                board->AdvancePieces();
            }
        }
    }

    // Runs the board until it is still; false when it never settles.
    bool Settle(int64_t limitMs = 20000)
    {
        for (int64_t t = 0; t < limitMs; t += 10) {
            Run(10);
            if (board->IsSettled()) {
                return true;
            }
        }
        return false;
    }

    // The dump's token for a cell: kind, piece letter, colour.
    std::string Token(int x, int y) const
    {
        std::istringstream lines(board->DumpText());
        std::string line;
        for (int i = 0; i < 4 + y + 1; ++i) {
            std::getline(lines, line);
        }
        return line.substr(static_cast<size_t>(x) * 4, 3);
    }
    // The piece letter, '.' for none or one no longer alive.
    char Letter(int x, int y) const { return Token(x, y)[1]; }

    // The cells of the top-left `width` x `height` whose piece has gone.
    std::set<std::pair<int, int>> Cleared(int width, int height) const
    {
        std::set<std::pair<int, int>> cells;
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) {
                if (Letter(x, y) == '.') {
                    cells.insert({x, y});
                }
            }
        }
        return cells;
    }

    int32_t Score() const { return state->CurrentProfile()->Record().GetScore(GameMode::Arcade); }
    int32_t Stat(StatCounter counter) const { return state->GetStat(GameMode::Arcade, counter); }

    std::unique_ptr<ScratchStorage> storageHolder;
    std::unique_ptr<GameState> state;
    std::unique_ptr<BoardScoring> scoring;
    PlayFieldPtr board;
    LevelInfo info;
};

} // namespace bsh::test
