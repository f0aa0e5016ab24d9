#pragma once
// A textured quad cut from a source rectangle of a texture, with per-corner
// colours, flips and a blend mode; drawn through four corner positions.

#include "engine/platform/platformrenderer.h"

namespace tsv {

class Sprite {
public:
    Sprite() = default;
    Sprite(PlatformRenderer* platform, TextureHandle texture, float x, float y, float w, float h);
    virtual ~Sprite() = default;

    // Keeps the texture coordinates valid for the new texture's size.
    void SetTexture(TextureHandle texture);
    TextureHandle GetTexture() const { return m_quad.texture; }
    void SetTextureRect(float x, float y, float w, float h);
    void GetTextureRect(float& x, float& y, float& w, float& h) const;
    void SetFlip(bool horizontal, bool vertical);
    // Corner -1 sets all four (ARGB).
    void SetColor(uint32_t color, int corner = -1);
    uint32_t GetColor(int corner = 0) const { return m_quad.v[corner & 3].color; }
    void SetBlendMode(int blend) { m_quad.blend = blend; }
    int GetBlendMode() const { return m_quad.blend; }
    float GetWidth() const { return m_w; }
    float GetHeight() const { return m_h; }

    // Draws through corners top left, top right, bottom right, bottom left (screen pixels).
    void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);

protected:
    void UpdateUV();

    PlatformRenderer* m_platform = nullptr;
    Quad m_quad;
    float m_tx = 0, m_ty = 0, m_w = 0, m_h = 0;
    float m_texW = 1, m_texH = 1;
    bool m_flipX = false, m_flipY = false;
};

// A sprite showing one frame of a strip: frames run left to right and continue
// on the next row of the texture.
class FrameAnimation : public Sprite {
public:
    FrameAnimation() = default;
    FrameAnimation(PlatformRenderer* platform, TextureHandle texture, int frames, float fps, float x, float y, float w,
                   float h);

    // The index is taken modulo the frame count; a negative remainder wraps to the end.
    void SetFrame(int frame);
    int GetFrame() const { return m_frame; }
    int GetFrames() const { return m_frames; }
    float GetSpeed() const { return m_fps; }
    void SetSpeed(float fps) { m_fps = fps; }

private:
    int m_frames = 1;
    float m_fps = 0;
    int m_frame = 0;
    float m_originX = 0, m_originY = 0;
};

} // namespace tsv
