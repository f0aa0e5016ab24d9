#pragma once
// A piece on the board: a scene node with a picture child and a small state
// machine for moving, swapping back, falling, detonating, charging (rainbow)
// and opening (key). Pieces leave play by expiring.

#include "engine/scene/scenenode.h"

#include <cstdint>
#include <string>

namespace bsh {

class PlayField;

enum PieceType : int32_t {
    PieceUnknown = -1, // a level named a type that does not exist
    PieceJewel = 0,
    PieceBomb = 1,
    PieceDynamite = 2,
    PieceCannonLeft = 3,
    PieceCannonRight = 4,
    PieceCannonTop = 5,
    PieceCannonBottom = 6,
    PieceRainbow = 7,
    PieceKey = 8,
    PieceLock = 9,
    PieceBlock = 10,
    PieceFixedBlock = 11,
    PieceArtifact = 12,
};
inline constexpr int kPieceTypeCount = 13;

enum PieceState : int32_t {
    PieceIdle = 0,
    PieceMoving = 1,     // straight line from (a, b) to (c, d) over the duration
    PieceSwapping = 2,   // out to (c, d) and back to (a, b), 150 ms each way
    PieceDetonating = 3, // 150 ms, then the blast of kind d around cell (a, b)
    PieceFalling = 5,    // accelerating towards (c, d)
    PieceCharging = 6,   // rainbow: 500 ms, then the pull of colour c around (a, b)
    PieceOpening = 8,    // key: 500 ms, then the locks of its colour open
};

// The type named by a level file ("jewel" .. "artifact"); PieceUnknown otherwise.
int32_t PieceTypeFromName(const std::string& name);

class Piece : public tsv::SceneNode {
public:
    Piece();
    ~Piece() override;

    // Stores colour, type and angle (a rainbow has no colour), and builds the
    // picture: the kind's texture (or `texture` for blocks, fixed blocks and the
    // artifact), the small colour mark of coloured specials, and `mesh` when given.
    void Setup(int32_t colour, int32_t type, const std::string& style, const std::string& texture,
               const tsv::Mesh* mesh, float angle);

    void Update() override;

    // Straight move from the present position over `durationMs`.
    void MoveTo(float x, float y, int64_t durationMs);
    // 150 ms out to (x, y) and 150 ms back.
    void SwapAndReturn(float x, float y);
    // Accelerated fall from the present position; lands with a sound when fast.
    void FallTo(float x, float y);
    // Takes the piece out of play, counting it on its board. `column` < 0 means
    // the piece's present position; `kind` is the blast kind of a bomb (0) or
    // dynamite (1); a rainbow given a colour starts charging instead.
    void Destroy(int32_t column, int32_t row, int32_t kind, int32_t colour);
    // Starts the key's 500 ms opening.
    void StartOpening(int32_t column, int32_t row);

    int32_t GetType() const { return m_type; }
    int32_t GetColour() const { return m_colour; }
    int32_t GetState() const { return m_state; }
    const std::string& GetStyle() const { return m_style; }
    float GetAngle() const { return m_angle; }
    // The picture child: texture and mesh are what a saved board stores.
    const tsv::SceneNodePtr& GetSprite() const { return m_sprite; }
    bool IsIdle() const { return m_state == PieceIdle || m_state == PieceCharging; }

    PlayField* GetOwner() const { return m_owner; }
    void SetOwner(PlayField* owner) { m_owner = owner; }

private:
    void Finish(); // back to idle; tells the board a move ended
    tsv::SceneNodePtr AddPicture(const std::string& texture, float size, float depth);

    tsv::SceneNodePtr m_sprite;
    int32_t m_state = PieceIdle;
    PlayField* m_owner = nullptr;
    int32_t m_a = 0, m_b = 0, m_c = 0, m_d = 0;
    int64_t m_startTime = 0;
    int64_t m_duration = 0;
    std::string m_style;
    int32_t m_colour = 0;
    int32_t m_type = PieceJewel;
    float m_angle = 0;
};

using PiecePtr = tsv::IntrusivePtr<Piece>;

} // namespace bsh
