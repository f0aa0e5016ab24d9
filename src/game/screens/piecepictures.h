#pragma once
// The pictures of the board's pieces: which texture fills a piece's shape for
// its kind and colour, and the small mark of its colour a special carries.

#include "game/board/piece.h"

#include <string>

namespace bsh {

struct PiecePictures {
    std::string texture;     // "" draws the shape untextured
    std::string markTexture; // "" for none
    float markSize = 0.0f;   // the mark's side, pixels
};

PiecePictures PicturesOf(const Piece& piece);

} // namespace bsh
