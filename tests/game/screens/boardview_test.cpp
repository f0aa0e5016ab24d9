// The board's pictures as the player sees them move: dynamite's flames, a
// cannon's fireball, pieces shaking before a reshuffle and swept off by it.

#include "game/board/boardtest.h"
#include "game/screens/boardview.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bsh::test {
namespace {

class BoardViewTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        view = std::make_unique<BoardView>(*state, nullptr);
        board = tsv::MakeIntrusive<PlayField>(*view, [] { return tsv::Application::Instance().GetTimer().GetTime(); });
    }
    void TearDown() override
    {
        board = nullptr;
        view.reset();
        Scene().DetachAll();
        BoardTest::TearDown();
    }
    // Frames of 10 ms as the game screen runs them: the rules, then the pictures.
    void Frames(int64_t ms)
    {
        for (int64_t t = 0; t < ms; t += 10) {
            Advance(10);
            board->Step();
            view->Sync(*board);
            Scene().UpdateNodes();
        }
    }
    // The drawn nodes whose texture path starts with `texture`.
    std::vector<const tsv::SceneNode*> Drawn(const std::string& texture)
    {
        Scene().EndStep();
        Loop().DrawScene();
        std::vector<const tsv::SceneNode*> found;
        Scene().ForEachDrawn([&](const tsv::HierarchyNode& node) {
            const auto& picture = static_cast<const tsv::SceneNode&>(node);
            if (picture.GetTexturePath().rfind(texture, 0) == 0) {
                found.push_back(&picture);
            }
        });
        return found;
    }
    std::vector<tsv::Vec3> PiecesAt()
    {
        std::vector<tsv::Vec3> at;
        for (const tsv::SceneNode* piece : Drawn("/texture/piece/")) {
            at.push_back(piece->GetWorldPosition());
        }
        return at;
    }

    // `width` x `height` jewels in a pattern without a run, `piece` at (x, y).
    static std::vector<std::string> Rows(int width, int height, int x, int y, char piece)
    {
        std::vector<std::string> rows;
        for (int r = 0; r < height; ++r) {
            std::string row;
            for (int c = 0; c < width; ++c) {
                row += (r % 2 ? "34" : "12")[c % 2];
            }
            rows.push_back(row);
        }
        rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = piece;
        return rows;
    }

    std::unique_ptr<BoardView> view;
};

TEST_F(BoardViewTest, DynamiteThrowsFourFlamesOutwardsThatBurnOut)
{
    ASSERT_TRUE(Load(Level(Rows(11, 11, 5, 5, 'D'), Alias('D', "dynamite", 1))));
    view->BuildFrame();
    board->ExplodeCell(5, 5, CellHit::Spare);
    Frames(200);
    const auto flames = Drawn("/texture/effect/flame.png");
    ASSERT_EQ(flames.size(), 4u);
    const tsv::Vec3 centre{PlayField::ColumnX(5), PlayField::RowY(5), 0};
    for (const tsv::SceneNode* flame : flames) {
        const tsv::Vec3 at = flame->GetWorldPosition();
        EXPECT_GT(std::hypot(at.x - centre.x, at.y - centre.y), 5.0f) << "a flame stays on the blast";
    }
    Frames(1000);
    EXPECT_TRUE(Drawn("/texture/effect/flame.png").empty());
}

TEST_F(BoardViewTest, ACannonsFireballFliesAlongItsRowAndGoesAtTheEnd)
{
    ASSERT_TRUE(Load(Level(Rows(kBoardColumns, 3, 0, 1, '>'), Alias('>', "cannonright", 1))));
    board->ExplodeCell(0, 1, CellHit::Spare);
    Frames(20);
    auto balls = Drawn("/texture/effect/fireball.png");
    ASSERT_EQ(balls.size(), 1u);
    const float first = balls.front()->GetWorldPosition().x;
    EXPECT_EQ(balls.front()->GetWorldPosition().y, PlayField::RowY(1));
    Frames(100);
    balls = Drawn("/texture/effect/fireball.png");
    ASSERT_EQ(balls.size(), 1u);
    EXPECT_GT(balls.front()->GetWorldPosition().x, first); // to the right
    for (int t = 0; t < 5000 && board->GetFlyingCount() > 0; t += 10) {
        Frames(10);
    }
    Frames(20);
    EXPECT_TRUE(Drawn("/texture/effect/fireball.png").empty());
}

TEST_F(BoardViewTest, PiecesShakeBeforeAReshuffleThatSweepsThemDownAndDealsNewOnes)
{
    ASSERT_TRUE(Load(Level({"1234", "5678", "3456"})));
    Frames(100);
    ASSERT_EQ(view->PieceNodeCount(), 12u);
    const std::vector<tsv::Vec3> still = PiecesAt();
    board->ShakeSwappables();
    Frames(120);
    EXPECT_NE(PiecesAt(), still) << "the pieces keep still while they should shake";

    // Swept off: the old pictures drop out of sight and go; as many new ones come.
    board->Reshuffle();
    Frames(300);
    EXPECT_EQ(view->PieceNodeCount(), 12u);
    Frames(800);
    const std::vector<tsv::Vec3> after = PiecesAt();
    EXPECT_EQ(after.size(), 12u) << "the swept pieces' pictures are gone";
    const auto inSight = [](const tsv::Vec3& at) { return at.y <= PlayField::RowY(2) + 1; };
    EXPECT_EQ(std::count_if(after.begin(), after.end(), inSight), 12);
}

} // namespace
} // namespace bsh::test
