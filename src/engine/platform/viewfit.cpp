#include "engine/platform/viewfit.h"

#include <algorithm>
#include <cmath>

namespace tsv {

ViewFit FitView(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    ViewFit fit;
    float scale = std::min(static_cast<float>(width) / kViewWidth, static_cast<float>(height) / kViewHeight);
    const float whole = std::floor(scale);
    if (whole >= 1.0f && scale - whole < kWholeScaleSnap) {
        scale = whole;
    }
    fit.scale = scale;
    fit.width = std::min(width, static_cast<int>(std::lround(kViewWidth * scale)));
    fit.height = std::min(height, static_cast<int>(std::lround(kViewHeight * scale)));
    fit.x = (width - fit.width) / 2;
    fit.y = (height - fit.height) / 2;
    // Pixel art would want the whole factor below the scale and bilinear up
    // from there; this art is painted with soft edges, so it is enlarged to the
    // whole factor above and filtered down a little, which keeps it sharper.
    // A whole scale needs no filtering step at all.
    fit.prescale = std::max(1, static_cast<int>(std::ceil(scale - 1e-4f)));
    return fit;
}

void WindowToView(const ViewFit& fit, float wx, float wy, float& vx, float& vy)
{
    vx = (wx - static_cast<float>(fit.x)) / fit.scale;
    vy = (wy - static_cast<float>(fit.y)) / fit.scale;
}

void ViewToWindow(const ViewFit& fit, float vx, float vy, float& wx, float& wy)
{
    wx = vx * fit.scale + static_cast<float>(fit.x);
    wy = vy * fit.scale + static_cast<float>(fit.y);
}

ViewFit FitWindow(int pixelWidth, int pixelHeight, int pointWidth, int pointHeight)
{
    ViewFit fit = FitView(pixelWidth, pixelHeight);
    (void)pointHeight; // the density is the same both ways
    fit.pointScale = pointWidth > 0 && pixelWidth > 0 ? static_cast<float>(pixelWidth) / static_cast<float>(pointWidth)
                                                      : 1.0f;
    return fit;
}

void PointToView(const ViewFit& fit, float px, float py, float& vx, float& vy)
{
    WindowToView(fit, px * fit.pointScale, py * fit.pointScale, vx, vy);
}

void ViewToPoint(const ViewFit& fit, float vx, float vy, float& px, float& py)
{
    ViewToWindow(fit, vx, vy, px, py);
    px /= fit.pointScale;
    py /= fit.pointScale;
}

bool IsInView(float vx, float vy) { return vx >= 0 && vy >= 0 && vx < kViewWidth && vy < kViewHeight; }

} // namespace tsv
