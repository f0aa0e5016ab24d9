#include "engine/platform/sprite.h"

#include <utility>

namespace tsv {

Sprite::Sprite(PlatformRenderer* platform, TextureHandle texture, float x, float y, float w, float h)
    : m_platform(platform)
{
    m_quad.texture = texture;
    if (m_platform && texture) {
        m_texW = static_cast<float>(m_platform->TextureGetWidth(texture));
        m_texH = static_cast<float>(m_platform->TextureGetHeight(texture));
    }
    SetTextureRect(x, y, w, h);
}

void Sprite::SetTexture(TextureHandle texture)
{
    m_quad.texture = texture;
    float w = 1, h = 1;
    if (m_platform && texture) {
        w = static_cast<float>(m_platform->TextureGetWidth(texture));
        h = static_cast<float>(m_platform->TextureGetHeight(texture));
    }
    m_texW = w > 0 ? w : 1;
    m_texH = h > 0 ? h : 1;
    UpdateUV();
}

void Sprite::SetTextureRect(float x, float y, float w, float h)
{
    m_tx = x;
    m_ty = y;
    m_w = w;
    m_h = h;
    UpdateUV();
}

void Sprite::GetTextureRect(float& x, float& y, float& w, float& h) const
{
    x = m_tx;
    y = m_ty;
    w = m_w;
    h = m_h;
}

void Sprite::SetFlip(bool horizontal, bool vertical)
{
    m_flipX = horizontal;
    m_flipY = vertical;
    UpdateUV();
}

void Sprite::UpdateUV()
{
    float u0 = m_tx / m_texW, v0 = m_ty / m_texH;
    float u1 = (m_tx + m_w) / m_texW, v1 = (m_ty + m_h) / m_texH;
    if (m_flipX) {
        std::swap(u0, u1);
    }
    if (m_flipY) {
        std::swap(v0, v1);
    }
    m_quad.v[0].u = u0; m_quad.v[0].v = v0;
    m_quad.v[1].u = u1; m_quad.v[1].v = v0;
    m_quad.v[2].u = u1; m_quad.v[2].v = v1;
    m_quad.v[3].u = u0; m_quad.v[3].v = v1;
}

void Sprite::SetColor(uint32_t color, int corner)
{
    if (corner < 0) {
        for (Vertex& v : m_quad.v) {
            v.color = color;
        }
    } else {
        m_quad.v[corner & 3].color = color;
    }
}

void Sprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3)
{
    if (!m_platform) {
        return;
    }
    m_quad.v[0].x = x0; m_quad.v[0].y = y0;
    m_quad.v[1].x = x1; m_quad.v[1].y = y1;
    m_quad.v[2].x = x2; m_quad.v[2].y = y2;
    m_quad.v[3].x = x3; m_quad.v[3].y = y3;
    m_platform->GfxRenderQuad(m_quad);
}

FrameAnimation::FrameAnimation(PlatformRenderer* platform, TextureHandle texture, int frames, float fps, float x,
                               float y, float w, float h)
    : Sprite(platform, texture, x, y, w, h), m_frames(frames > 0 ? frames : 1), m_fps(fps), m_originX(x), m_originY(y)
{
}

void FrameAnimation::SetFrame(int frame)
{
    int n = frame % m_frames;
    if (n < 0) {
        n += m_frames;
    }
    m_frame = n;
    float x = m_originX, y = m_originY;
    for (int i = 0; i < n; ++i) {
        x += m_w;
        if (x + m_w > m_texW + 0.5f) {
            x = 0;
            y += m_h;
        }
    }
    SetTextureRect(x, y, m_w, m_h);
}

} // namespace tsv
