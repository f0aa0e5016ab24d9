#pragma once
// Where the 800 x 600 view sits in a window of any size: letterboxed, its
// aspect kept, centred on whole pixels, and how it is enlarged.

namespace tsv {

inline constexpr int kViewWidth = 800;
inline constexpr int kViewHeight = 600;

struct ViewFit {
    int x = 0, y = 0;          // top left of the view in window pixels
    int width = kViewWidth;    // size of the view in window pixels
    int height = kViewHeight;
    float scale = 1.0f;        // window pixels per view pixel
    // The frame is first enlarged by this whole factor with nearest sampling
    // (every view pixel an exact block), then filtered to its final size.
    int prescale = 1;
    // Window pixels per window point: 2 on a high-density screen, where the
    // drawable is twice the window's size and the mouse reports points.
    float pointScale = 1.0f;
};

// A scale this close above a whole number is rounded down to it: the bars grow
// by a few pixels, and every view pixel becomes an exact block.
inline constexpr float kWholeScaleSnap = 0.04f;

// The fit of the view into a window of `width` x `height` pixels (at least 1 each).
ViewFit FitView(int width, int height);

// The fit for a window whose drawable is `pixelWidth` x `pixelHeight`
// pixels and whose size in points (what mouse positions count in) is
// `pointWidth` x `pointHeight`.
ViewFit FitWindow(int pixelWidth, int pixelHeight, int pointWidth, int pointHeight);
// A mouse position (window points) in view coordinates, and back.
void PointToView(const ViewFit& fit, float px, float py, float& vx, float& vy);
void ViewToPoint(const ViewFit& fit, float vx, float vy, float& px, float& py);

// A window pixel position in view coordinates. Positions in the bars lie
// outside 0..800 x 0..600 (a drag keeps its direction past the view's edge).
void WindowToView(const ViewFit& fit, float wx, float wy, float& vx, float& vy);
// The window pixel position of a view position.
void ViewToWindow(const ViewFit& fit, float vx, float vy, float& wx, float& wy);
// Whether a view position lies on the view (not in the bars).
bool IsInView(float vx, float vy);

} // namespace tsv
