#pragma once
// The value records that describe what a SceneNode shows: the mesh (which part
// of the texture, at what size, anchor, corner colours and flips) and the frame
// animation (a strip of equal frames stepped at a fixed rate).

#include <cstdint>

namespace tsv {

struct Vec3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Vec2 {
    float x = 0, y = 0;
    friend bool operator==(const Vec2&, const Vec2&) = default;
};

// A corner whose x lies beyond this is unset and follows the sprite rectangle.
inline constexpr float kUnsetCorner = 10000.0f;

struct Mesh {
    Mesh() = default;
    // A negative bound size means the rectangle's own size.
    Mesh(float w, float h, float boundW = -1, float boundH = -1)
        : width(w), height(h), anchorX(w * 0.5f), anchorY(h * 0.5f), boundWidth(boundW < 0 ? w : boundW),
          boundHeight(boundH < 0 ? h : boundH)
    {
    }

    float width = 0, height = 0; // pixels of the texture
    float textureOffsetX = 0, textureOffsetY = 0;
    float anchorX = 0, anchorY = 0; // hot spot, from the rectangle's top left
    uint32_t colors[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}; // ARGB: TL, TR, BR, BL
    bool flipHorizontal = false, flipVertical = false;
    bool colorAppliesToChild = true;
    float boundWidth = 0, boundHeight = 0; // drawn size
    Vec3 vertices[4] = {{11111, 11111, 0}, {11111, 11111, 0}, {11111, 11111, 0}, {11111, 11111, 0}};
};

struct FrameAnimationDesc {
    bool enabled = false;
    int32_t frameBegin = 0, frameEnd = 0;
    int32_t currentFrame = 0; // -1: a random frame on the next step
    int32_t fps = 0;          // 0 never steps
    bool playing = false, looped = false, forward = true;
};

} // namespace tsv
