#include "game/screens/piecepictures.h"

#include <cstdio>

namespace bsh {

namespace {

constexpr float kPieceSize = 40.0f;
constexpr float kMarkSize = 24.0f;

std::string JewelTexture(int32_t colour, const char* size)
{
    char path[64];
    std::snprintf(path, sizeof path, "/texture/piece/piece%d-%s.png", colour, size);
    return path;
}

const char* KeyOrLockTexture(PieceType type)
{
    return type == PieceKey ? "/texture/piece/key.png" : "/texture/piece/lock.png";
}

} // namespace

PiecePictures PicturesOf(const Piece& piece)
{
    const PieceType type = piece.GetType();
    const int32_t colour = piece.GetColour();
    PiecePictures pictures;
    switch (type) {
    case PieceJewel:
    case PieceKey:
    case PieceLock:
        if (HasColourPicture(colour)) {
            pictures.texture = JewelTexture(colour, "normal");
        } else if (type != PieceJewel) {
            pictures.texture = KeyOrLockTexture(type);
        }
        break;
    case PieceBomb: pictures.texture = "/texture/piece/bomb.png"; break;
    case PieceDynamite: pictures.texture = "/texture/piece/dynamite.png"; break;
    case PieceCannonLeft:
    case PieceCannonRight:
    case PieceCannonTop:
    case PieceCannonBottom: pictures.texture = "/texture/piece/cannon.png"; break;
    case PieceRainbow: pictures.texture = "/texture/piece/rainbow.png"; break;
    default: // block, fixed block, artifact: the level's picture
        pictures.texture = piece.GetTexture();
        break;
    }
    // A coloured key or lock is drawn in its colour and marked with its kind;
    // other coloured specials carry a small jewel of their colour.
    if (type >= PieceBomb && type <= PieceArtifact && HasColourPicture(colour)) {
        if (type == PieceKey || type == PieceLock) {
            pictures.markTexture = KeyOrLockTexture(type);
            pictures.markSize = kPieceSize;
        } else {
            pictures.markTexture = JewelTexture(colour, "small");
            pictures.markSize = kMarkSize;
        }
    }
    return pictures;
}

} // namespace bsh
