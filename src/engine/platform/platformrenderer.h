#pragma once
// The platform's renderer part: textures, batched quads in the 800 x 600
// view, the frame's start and end, screenshots and reading a frame back.

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

// Texture handle; 0 is "no texture".
using TextureHandle = uint32_t;

// Blend flags of a quad: kBlendAlpha set = alpha blending, clear = additive;
// kBlendColorAdd set = vertex colour added instead of multiplied.
inline constexpr int kBlendColorAdd = 1;
inline constexpr int kBlendAlpha = 2;
inline constexpr int kBlendDefault = kBlendAlpha;

struct Vertex {
    float x = 0, y = 0; // screen pixels in the 800 x 600 view
    float u = 0, v = 0; // texture coordinates 0..1
    uint32_t color = 0xFFFFFFFF; // ARGB
};

struct Quad {
    Vertex v[4]; // top left, top right, bottom right, bottom left
    TextureHandle texture = 0;
    int blend = kBlendDefault;
};

class PlatformRenderer {
public:
    virtual ~PlatformRenderer() = default;

    // Drawing
    virtual bool GfxBeginScene() = 0;
    virtual void GfxClear(uint32_t colour) = 0;
    virtual void GfxRenderQuad(const Quad& quad) = 0;
    virtual void GfxEndScene() = 0;
    // The view's pixels drawn since GfxBeginScene (800 x 600, ARGB, rows top
    // down), without presenting them; false when nothing is drawn.
    virtual bool GfxReadFrame(std::vector<uint32_t>& argb) = 0;
    // Saves the next frame ended (presented or captured) as an 800 x 600 PNG.
    virtual void RequestScreenshot(const std::string& path) = 0;
    virtual bool ScreenshotRequested() const = 0;
    // Ends a scene drawn only to be saved: the requested screenshots are
    // taken of it, and nothing is presented or counted as a frame.
    virtual void GfxEndCapture() = 0;

    // Textures (resolved file paths); 0 on failure.
    virtual TextureHandle TextureLoad(const std::string& path) = 0;
    virtual void TextureFree(TextureHandle texture) = 0;
    virtual int TextureGetWidth(TextureHandle texture) const = 0;
    virtual int TextureGetHeight(TextureHandle texture) const = 0;
    // Number of draw calls issued for the last frame (batches of quads).
    virtual int GetLastFrameBatchCount() const = 0;
    // The view's pixels the last frame drew again: only what changed since
    // the frame before (0 when nothing did, 480000 for the whole view).
    virtual int GetLastFrameRedrawnPixels() const = 0;
};

} // namespace tsv
