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
    return type == PieceType::Key ? "/texture/piece/key.png" : "/texture/piece/lock.png";
}

} // namespace

PiecePictures PicturesOf(const Piece& piece)
{
    const PieceType type = piece.GetType();
    const int32_t colour = piece.GetColour();
    PiecePictures pictures;
    switch (type) {
    case PieceType::Jewel:
    case PieceType::Key:
    case PieceType::Lock:
        if (HasColourPicture(colour)) {
            pictures.texture = JewelTexture(colour, "normal");
        } else if (type != PieceType::Jewel) {
            pictures.texture = KeyOrLockTexture(type);
        }
        break;
    case PieceType::Bomb: pictures.texture = "/texture/piece/bomb.png"; break;
    case PieceType::Dynamite: pictures.texture = "/texture/piece/dynamite.png"; break;
    case PieceType::CannonLeft:
    case PieceType::CannonRight:
    case PieceType::CannonTop:
    case PieceType::CannonBottom: pictures.texture = "/texture/piece/cannon.png"; break;
    case PieceType::Rainbow: pictures.texture = "/texture/piece/rainbow.png"; break;
    default: // block, fixed block, artifact: the level's picture
        pictures.texture = piece.GetTexture();
        break;
    }
    // A coloured key or lock is drawn in its colour and marked with its kind;
    // other coloured specials carry a small jewel of their colour.
    if (type >= PieceType::Bomb && type <= PieceType::Artifact && HasColourPicture(colour)) {
        if (type == PieceType::Key || type == PieceType::Lock) {
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
