#pragma once
// The board's pictures and sounds: a node for every piece (following the
// piece's position each frame), the cell backgrounds, the frame around the
// existing cells, fireballs, flames, key glows, and the effects and sounds
// the rules report. The points and statistics go on to the game-wide state
// through the view's BoardScoring.

#include "engine/scene/scenenode.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bsh {

class GameMedia;

// The board draws its cells, frame and pieces on this layer.
inline constexpr int32_t kBoardLayer = 1;

class BoardView : public BoardEvents {
public:
    // `media` null: no sounds and no effects (the pictures still follow the board).
    BoardView(GameState& state, GameMedia* media);
    ~BoardView() override;
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    // The frame pictures around the existing cells (after a level is read).
    void BuildFrame();
    // Once per frame, after the board's step: positions, visibility, shaking,
    // fireballs.
    void Sync(const PlayField& board);

    // The points, multiplier and statistics, kept by the scoring.
    void OnScore(int32_t points, float x, float y) override { m_scoring.OnScore(points, x, y); }
    void OnMultiplier(MultiplierChange change) override { m_scoring.OnMultiplier(change); }
    void OnStat(BoardStat stat, int32_t delta) override { m_scoring.OnStat(stat, delta); }
    void OnMatchSize(int32_t cells) override { m_scoring.OnMatchSize(cells); }
    bool IsSwapHintDue() const override { return m_scoring.IsSwapHintDue(); }
    int32_t RunScore() const override { return m_scoring.RunScore(); }
    int32_t Multiplier() const override { return m_scoring.Multiplier(); }
    BoardScoring& Scoring() { return m_scoring; }
    const BoardScoring& Scoring() const { return m_scoring; }

    void OnSound(BoardSound sound) override;
    void OnEffect(GameEffect effect, const BoardSpot& spot) override;
    void OnFragments(const std::string& style, const BoardSpot& spot) override;
    void OnPieceAdded(Piece& piece) override;
    void OnPieceRemoved(Piece& piece, PieceExit exit) override;
    void OnCellChanged(int x, int y, CellKind kind) override;
    void OnDynamiteFlames(const BoardSpot& spot) override;
    void OnFireballLaunched(const Fireball& fireball) override;
    void OnFireballGone(const Fireball& fireball) override;
    void OnKeyGlow(const BoardSpot& from, const BoardSpot& to) override;

    size_t PieceNodeCount() const { return m_pieces.size(); }

private:
    struct PieceNode {
        PiecePtr piece;
        tsv::SceneNodePtr node;
        tsv::Vec3 shown;
        bool shaking = false;
        bool entering = false; // still above its column's top square, fading in
    };
    struct FireballNode {
        int32_t id = 0;
        tsv::SceneNodePtr node;
    };

    tsv::SceneNodePtr MakePieceNode(const Piece& piece) const;
    void AddFrameNode(const std::string& texture, float x, float y, float angle);
    void ApplyCellLook(int x, int y, CellKind kind);
    std::vector<PieceNode>::iterator Find(const Piece& piece);

    BoardScoring m_scoring;
    GameMedia* m_media;
    std::vector<PieceNode> m_pieces;
    std::vector<FireballNode> m_fireballs;
    std::array<tsv::SceneNodePtr, kBoardCells> m_cells;
    std::array<CellKind, kBoardCells> m_cellKinds{};
    std::vector<tsv::SceneNodePtr> m_frame;
};

} // namespace bsh
