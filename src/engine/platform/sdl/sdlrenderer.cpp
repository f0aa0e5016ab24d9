// SdlPlatform, the renderer part: batched quads, presenting the view in the
// window, screenshots, reading a frame back and textures.

#include "engine/platform/sdl/sdlplatform.h"

#include "engine/core/log.h"
#include "engine/core/util/file/filestream.h"
#include "engine/platform/dds.h"

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tsv {

namespace {

// The largest texture side the game loads, whatever the renderer takes.
constexpr int kMaxTextureSide = 8192;

// The batch of quads drawn without blending; no Quad asks for it.
constexpr int kBlendNone = -2;

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    if (s.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SdlPlatform::GfxBeginScene()
{
    if (m_frame && Drawing()) {
        SDL_SetRenderTarget(m_renderer, m_frame);
    }
    if (!Drawing()) {
        m_damage.Invalidate(); // the view is drawn whole when it shows again
    }
    m_damage.Begin();
    m_inScene = true;
    m_batchCount = 0;
    m_batchVertices.clear();
    m_batchIndices.clear();
    m_batchTexture = 0;
    m_batchBlend = -1;
    return m_renderer != nullptr && Drawing();
}

void SdlPlatform::GfxClear(uint32_t colour)
{
    if (Drawing()) {
        m_damage.Clear(colour);
    }
}

void SdlPlatform::Flush()
{
    if (m_batchIndices.empty()) {
        return;
    }
    SDL_Texture* texture = nullptr;
    if (m_batchTexture > 0 && m_batchTexture <= m_textures.size()) {
        texture = m_textures[m_batchTexture - 1].texture;
    }
    SDL_BlendMode mode = m_batchBlend == kBlendNone        ? SDL_BLENDMODE_NONE
                         : (m_batchBlend & kBlendAlpha) ? SDL_BLENDMODE_BLEND
                                                        : SDL_BLENDMODE_ADD;
    if (texture) {
        SDL_SetTextureBlendMode(texture, mode);
    } else {
        SDL_SetRenderDrawBlendMode(m_renderer, mode);
    }
    SDL_RenderGeometry(m_renderer, texture, m_batchVertices.data(), static_cast<int>(m_batchVertices.size()),
                       m_batchIndices.data(), static_cast<int>(m_batchIndices.size()));
    ++m_batchCount;
    m_batchVertices.clear();
    m_batchIndices.clear();
}

void SdlPlatform::GfxRenderQuad(const Quad& quad)
{
    if (!Drawing()) {
        return;
    }
    // A quad with no alpha at any corner adds nothing in either blending.
    if ((quad.v[0].color >> 24) == 0 && (quad.v[1].color >> 24) == 0 && (quad.v[2].color >> 24) == 0 &&
        (quad.v[3].color >> 24) == 0) {
        return;
    }
    // A released texture is decoded again from its file when it is drawn.
    if (quad.texture > 0 && quad.texture <= m_textures.size() && !m_textures[quad.texture - 1].path.empty() &&
        !MakeResident(m_textures[quad.texture - 1])) {
        return;
    }
    // An opaque texture under opaque colours covers what lies below whatever
    // the blending: it is drawn without (a backdrop costs a copy, not a blend).
    Quad drawn = quad;
    if (drawn.blend == kBlendAlpha && quad.texture > 0 && quad.texture <= m_textures.size() &&
        m_textures[quad.texture - 1].opaque && (quad.v[0].color >> 24) == 0xFF && (quad.v[1].color >> 24) == 0xFF &&
        (quad.v[2].color >> 24) == 0xFF && (quad.v[3].color >> 24) == 0xFF) {
        drawn.blend = kBlendNone;
    }
    m_damage.Add(drawn, m_softwareRenderer && IsScaledRectangle(quad));
}

bool SdlPlatform::IsScaledRectangle(const Quad& quad) const
{
    // The software renderer draws a textured rectangle as a scaled copy,
    // which starts its sampling where the clip starts.
    const Vertex* v = quad.v;
    if (quad.texture == 0 || quad.texture > m_textures.size() || v[0].y != v[1].y || v[2].y != v[3].y ||
        v[0].x != v[3].x || v[1].x != v[2].x) {
        return false;
    }
    const TextureEntry& texture = m_textures[quad.texture - 1];
    const float texelsWide = std::abs(v[1].u - v[0].u) * static_cast<float>(texture.width);
    const float texelsHigh = std::abs(v[3].v - v[0].v) * static_cast<float>(texture.height);
    return std::abs(std::abs(v[1].x - v[0].x) - texelsWide) > 0.01f ||
           std::abs(std::abs(v[3].y - v[0].y) - texelsHigh) > 0.01f;
}

void SdlPlatform::DrawFrame(const std::vector<PixelRect>& rects)
{
    const std::vector<Quad>& quads = m_damage.Quads();
    const std::vector<PixelRect>& bounds = m_damage.QuadBounds();
    const uint32_t colour = m_damage.ClearColour();
    SDL_SetRenderDrawColor(m_renderer, static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8),
                           static_cast<Uint8>(colour), 255);
    for (const PixelRect& rect : rects) {
        const bool whole = rect.Area() == kViewWidth * kViewHeight;
        const SDL_Rect clip{rect.x0, rect.y0, rect.x1 - rect.x0, rect.y1 - rect.y0};
        if (whole) {
            if (m_damage.Cleared()) {
                SDL_RenderClear(m_renderer);
            }
        } else {
            // Only this piece changes: the quads over it are drawn again, clipped to it.
            SDL_RenderSetClipRect(m_renderer, &clip);
            SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_NONE);
            SDL_RenderFillRect(m_renderer, &clip);
        }
        for (size_t i = 0; i < quads.size(); ++i) {
            if (whole || bounds[i].Overlaps(rect)) {
                Batch(quads[i]);
            }
        }
        Flush();
        m_batchTexture = 0;
        m_batchBlend = -1;
    }
    SDL_RenderSetClipRect(m_renderer, nullptr);
}

void SdlPlatform::Batch(const Quad& quad)
{
    if (quad.texture != m_batchTexture || quad.blend != m_batchBlend) {
        Flush();
        m_batchTexture = quad.texture;
        m_batchBlend = quad.blend;
    }
    int base = static_cast<int>(m_batchVertices.size());
    for (const Vertex& v : quad.v) {
        SDL_Vertex out;
        out.position = {v.x, v.y};
        out.color = {static_cast<Uint8>(v.color >> 16), static_cast<Uint8>(v.color >> 8), static_cast<Uint8>(v.color),
                     static_cast<Uint8>(v.color >> 24)};
        // A mesh larger than its texture stretches the texture's edge, as a
        // clamped texture does on every renderer (the software one refuses
        // coordinates outside 0..1, and with them the whole batch).
        out.tex_coord = {std::clamp(v.u, 0.0f, 1.0f), std::clamp(v.v, 0.0f, 1.0f)};
        m_batchVertices.push_back(out);
    }
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i : order) {
        m_batchIndices.push_back(base + i);
    }
}

void SdlPlatform::SaveScreenshots()
{
    if (m_screenshotPaths.empty()) {
        return;
    }
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, kViewWidth, kViewHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (shot && m_renderer && Drawing()) {
        if (m_target) {
            SDL_BlitSurface(m_target, nullptr, shot, nullptr);
        } else if (m_frame) {
            SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shot->pixels, shot->pitch);
        } else {
            int ow = 0, oh = 0;
            SDL_GetRendererOutputSize(m_renderer, &ow, &oh);
            SDL_Surface* full = SDL_CreateRGBSurfaceWithFormat(0, ow, oh, 32, SDL_PIXELFORMAT_ARGB8888);
            SDL_RenderSetLogicalSize(m_renderer, 0, 0);
            if (full && SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, full->pixels, full->pitch) == 0) {
                SDL_BlitScaled(full, nullptr, shot, nullptr);
            }
            SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
            SDL_FreeSurface(full);
        }
    }
    // Frames are opaque: the clear colour's alpha is not part of the picture.
    if (shot) {
        SDL_SetSurfaceBlendMode(shot, SDL_BLENDMODE_NONE);
        auto* pixels = static_cast<Uint32*>(shot->pixels);
        for (int i = 0; i < kViewWidth * kViewHeight; ++i) {
            pixels[i] |= 0xFF000000u;
        }
        // The frame is encoded once; more shots of it are copies of that file
        // (a script asking for thousands in one frame must not stall the game).
        std::string encoded;
        for (const std::string& path : m_screenshotPaths) {
            bool saved = false;
            if (!encoded.empty()) {
                if (FILE* out = std::fopen(path.c_str(), "wb")) {
                    saved = std::fwrite(encoded.data(), 1, encoded.size(), out) == encoded.size();
                    saved = std::fclose(out) == 0 && saved;
                }
            } else if (IMG_SavePNG(shot, path.c_str()) == 0) {
                saved = true;
                if (FILE* in = std::fopen(path.c_str(), "rb")) {
                    char buffer[65536];
                    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
                        encoded.append(buffer, got);
                    }
                    std::fclose(in);
                }
            }
            if (!saved) {
                const LogSectionScope section = PlatformLogSection();
                GetLog() << Error << path << ": cannot save the screenshot: " << SDL_GetError() << EndL;
            }
        }
        SDL_FreeSurface(shot);
    }
    m_screenshotPaths.clear();
}

void SdlPlatform::GfxEndScene()
{
    m_inScene = false;
    bool changed = false;
    if (Drawing()) {
        changed = DrawChanges() > 0;
        ++m_drawnFrames;
        ReleaseIdleTextures();
    }
    m_lastBatchCount = m_batchCount;
    SaveScreenshots();
    // A frame like the last one is not shown again (the window keeps it),
    // unless the window asked to be drawn.
    if (Drawing() && m_window && (changed || m_showAgain)) {
        Present();
        m_showAgain = false;
    }
}

int SdlPlatform::DrawChanges()
{
    if (!m_partialRedraw) {
        m_damage.Invalidate();
    }
    const std::vector<PixelRect>& rects = m_damage.Changes();
    DrawFrame(rects);
    m_damage.Keep();
    m_lastRedrawn = 0;
    for (const PixelRect& rect : rects) {
        m_lastRedrawn += rect.Area();
    }
    return m_lastRedrawn;
}

void SdlPlatform::GfxEndCapture()
{
    m_inScene = false;
    if (Drawing()) {
        DrawChanges();
    }
    SaveScreenshots();
}

bool SdlPlatform::GfxReadFrame(std::vector<uint32_t>& argb)
{
    if (!m_renderer || !Drawing()) {
        return false;
    }
    if (m_inScene) {
        // Drawn whole: a picture read back is a reference, not a frame to save work on.
        m_damage.Invalidate();
        DrawChanges();
    }
    SDL_RenderFlush(m_renderer);
    argb.assign(static_cast<size_t>(kViewWidth) * kViewHeight, 0);
    const int pitch = kViewWidth * 4;
    if (m_target) {
        return SDL_ConvertPixels(kViewWidth, kViewHeight, m_target->format->format, m_target->pixels, m_target->pitch,
                                 SDL_PIXELFORMAT_ARGB8888, argb.data(), pitch) == 0;
    }
    return m_frame && SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), pitch) == 0;
}

void SdlPlatform::Present()
{
    if (!m_frame) {
        SDL_RenderPresent(m_renderer);
        return;
    }
    SDL_SetRenderTarget(m_renderer, nullptr);
    UpdateFit();
    // Black bars where the view leaves the window uncovered; none, no clear.
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(m_renderer, &outW, &outH);
    if (m_fit.x > 0 || m_fit.y > 0 || m_fit.width < outW || m_fit.height < outH) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
    }
    // A whole scale copies every view pixel as an exact block; any other is
    // enlarged to the whole factor above first, then filtered down to size.
    const bool whole = m_fit.scale == static_cast<float>(m_fit.prescale);
    SDL_Texture* source = m_frame;
    if (!whole && m_fit.prescale > 1) {
        if (m_prescaledFactor != m_fit.prescale) {
            if (m_prescaled) {
                SDL_DestroyTexture(m_prescaled);
            }
            m_prescaled = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                            kViewWidth * m_fit.prescale, kViewHeight * m_fit.prescale);
            if (m_prescaled) {
                SDL_SetTextureBlendMode(m_prescaled, SDL_BLENDMODE_NONE);
                SDL_SetTextureScaleMode(m_prescaled, SDL_ScaleModeLinear);
            }
            m_prescaledFactor = m_fit.prescale;
        }
        if (m_prescaled) {
            SDL_SetTextureScaleMode(m_frame, SDL_ScaleModeNearest);
            SDL_SetRenderTarget(m_renderer, m_prescaled);
            SDL_RenderCopy(m_renderer, m_frame, nullptr, nullptr);
            SDL_SetRenderTarget(m_renderer, nullptr);
            source = m_prescaled;
        }
    }
    if (source == m_frame) {
        SDL_SetTextureScaleMode(m_frame, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    }
    const SDL_Rect dest{m_fit.x, m_fit.y, m_fit.width, m_fit.height};
    SDL_RenderCopy(m_renderer, source, nullptr, &dest);
    SDL_RenderPresent(m_renderer);
}

TextureHandle SdlPlatform::TextureLoad(const std::string& path)
{
    if (!m_renderer) {
        return 0;
    }
    const LogSectionScope section = PlatformLogSection();
    SDL_Surface* surface = DecodeTexture(path);
    if (!surface) {
        return 0;
    }
    TextureEntry entry;
    entry.width = surface->w;
    entry.height = surface->h;
    entry.opaque = IsOpaque(surface);
    entry.path = path;
    entry.lastDrawn = m_drawnFrames;
    // A texture is loaded to be shown: it goes to the renderer now, unless
    // nothing is drawn (then its first draw sends it).
    if (Drawing()) {
        entry.texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        if (!entry.texture) {
            GetLog() << Error << "can't create texture " << path << ": " << SDL_GetError() << EndL;
            SDL_FreeSurface(surface);
            return 0;
        }
    }
    SDL_FreeSurface(surface);
    for (size_t i = 0; i < m_textures.size(); ++i) {
        if (m_textures[i].path.empty()) {
            m_textures[i] = std::move(entry);
            return static_cast<TextureHandle>(i + 1);
        }
    }
    m_textures.push_back(std::move(entry));
    return static_cast<TextureHandle>(m_textures.size());
}

SDL_Surface* SdlPlatform::DecodeTexture(const std::string& path)
{
    SDL_Surface* surface = nullptr;
    if (EndsWithNoCase(path, ".dds")) {
        std::string bytes;
        DecodedImage image;
        std::string error;
        if (!ReadFileBytes(path, bytes)) {
            GetLog() << Error << "can't open texture " << path << EndL;
            return nullptr;
        }
        if (!DecodeDds(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, error)) {
            GetLog() << Error << "can't decode texture " << path << ": " << error << EndL;
            return nullptr;
        }
        surface = SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            for (int y = 0; y < image.height; ++y) {
                std::memcpy(static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                            image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width),
                            static_cast<size_t>(image.width) * 4);
            }
        }
    } else {
        // The size from the header first: a picture too large for the
        // renderer is refused before gigabytes are decoded for it.
        int width = 0, height = 0;
        if (ReadPngSize(path, width, height) && (width > MaxTextureSide() || height > MaxTextureSide())) {
            GetLog() << Error << "can't load texture " << path << ": " << width << " x " << height
                     << " pixels, more than the " << MaxTextureSide() << " a side the renderer takes" << EndL;
            return nullptr;
        }
        surface = IMG_Load(path.c_str());
    }
    if (!surface) {
        GetLog() << Error << "can't load texture " << path << ": " << SDL_GetError() << EndL;
    }
    return surface;
}

bool SdlPlatform::MakeResident(TextureEntry& entry)
{
    entry.lastDrawn = m_drawnFrames;
    if (entry.texture || entry.unreadable) {
        return entry.texture != nullptr;
    }
    if (SDL_Surface* surface = DecodeTexture(entry.path)) {
        entry.texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        SDL_FreeSurface(surface);
    }
    if (!entry.texture) {
        // Once: the file went away or changed under the running game.
        entry.unreadable = true;
        GetLog() << Error << entry.path << ": cannot load the texture again" << EndL;
    }
    return entry.texture != nullptr;
}

void SdlPlatform::ReleaseIdleTextures()
{
    bool released = false;
    for (TextureEntry& entry : m_textures) {
        if (entry.texture && m_drawnFrames - entry.lastDrawn > kTextureIdleFrames) {
            SDL_DestroyTexture(entry.texture);
            entry.texture = nullptr;
            released = true;
        }
    }
#ifdef __GLIBC__
    // The pixels lay in the middle of the heap (and of the GL driver's
    // threads' heaps): freed, they would stay resident without this.
    if (released) {
        malloc_trim(0);
    }
#endif
}

bool SdlPlatform::ReadPngSize(const std::string& path, int& width, int& height)
{
    // The signature, then the IHDR chunk: length, type, width, height (big-endian).
    unsigned char head[24];
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got != sizeof head || std::memcmp(head, kSignature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0) {
        return false;
    }
    const auto be32 = [&](int at) {
        return (uint32_t{head[at]} << 24) | (uint32_t{head[at + 1]} << 16) | (uint32_t{head[at + 2]} << 8) |
               uint32_t{head[at + 3]};
    };
    width = static_cast<int>(std::min<uint32_t>(be32(16), 0x7FFFFFFF));
    height = static_cast<int>(std::min<uint32_t>(be32(20), 0x7FFFFFFF));
    return true;
}

int SdlPlatform::MaxTextureSide() const
{
    // What the renderer says it takes, and never more than the game could
    // want (its largest picture is 2048 wide): a 8192 x 8192 picture is
    // already 256 MB in memory.
    SDL_RendererInfo info{};
    int side = kMaxTextureSide;
    if (m_renderer && SDL_GetRendererInfo(m_renderer, &info) == 0) {
        for (int limit : {info.max_texture_width, info.max_texture_height}) {
            if (limit > 0) {
                side = std::min(side, limit);
            }
        }
    }
    return side;
}

bool SdlPlatform::IsOpaque(SDL_Surface* surface)
{
    if (!surface->format->Amask) {
        return true;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!argb) {
        return false;
    }
    bool opaque = true;
    for (int y = 0; y < argb->h && opaque; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                opaque = false;
                break;
            }
        }
    }
    SDL_FreeSurface(argb);
    return opaque;
}

void SdlPlatform::TextureFree(TextureHandle texture)
{
    if (texture > 0 && texture <= m_textures.size() && !m_textures[texture - 1].path.empty()) {
        if (m_textures[texture - 1].texture) {
            SDL_DestroyTexture(m_textures[texture - 1].texture);
        }
        m_textures[texture - 1] = TextureEntry{};
        m_damage.Invalidate(); // the handle may come back showing another picture
    }
}

int SdlPlatform::TextureGetWidth(TextureHandle texture) const
{
    return texture > 0 && texture <= m_textures.size() ? m_textures[texture - 1].width : 0;
}

int SdlPlatform::TextureGetHeight(TextureHandle texture) const
{
    return texture > 0 && texture <= m_textures.size() ? m_textures[texture - 1].height : 0;
}

} // namespace tsv
